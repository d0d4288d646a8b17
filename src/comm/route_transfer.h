#pragma once

#include <optional>
#include <string>
#include <vector>

#include "nmea/lat_long.h"
#include "nmea/rte_sentence.h"

namespace orv {

class NavigationDatabase;

// A route as it goes to a device: its waypoints (each once, in route order)
// and the route itself.
struct RouteTransfer {
  struct Point {
    std::string name;
    LatLong position;
  };
  std::vector<Point> waypoints;
  RouteRecord route;
};

// The route of the database at `routeIndex` with the positions of its
// waypoints; nothing when there is no such route. A waypoint the database
// does not hold is left out of the WPL part.
std::optional<RouteTransfer> RouteTransferFor(const NavigationDatabase& database, int routeIndex);

}  // namespace orv
