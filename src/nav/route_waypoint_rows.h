#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nav/route.h"
#include "nmea/lat_long.h"

namespace orv {

// The distance unit of the user's choice, numbered as the display settings number it.
enum class LegDistanceUnit : int { kKilometers = 1, kStatuteMiles = 2, kNauticalMiles = 3 };

// "%.3fkm" (x 1.852), "%.3fmi" (x 1.150779448) or "%.3fnmi" of nautical miles.
std::string LegDistanceText(double nauticalMiles, LegDistanceUnit unit);

// One row of the Route Waypoints list; empty texts are empty cells.
struct RouteWaypointRow {
  std::string number;
  std::string waypointName;
  std::string desiredTrack;
  std::string legDistance;
  std::string distanceFromBegin;
  std::string distanceToEnd;
};

// The Route Waypoints window's texts: the header lines and the rows.
struct RouteWaypointsView {
  std::string title;          // "Waypoints of '%1' route"
  std::string beginToEnd;     // "%1 to %2", "Begin"/"End" without waypoints
  std::string totalDistance;  // "Total Distance: " and the total
  std::vector<RouteWaypointRow> rows;
};

// Finds a waypoint's position by name (the database's hashed lookup).
using WaypointPositionLookup = std::function<std::optional<LatLong>(std::string_view name)>;

// Leg k runs from the waypoint of row k-1 to that of row k. A leg with a
// missing waypoint leaves its row's figures empty and adds nothing to the sums.
RouteWaypointsView BuildRouteWaypointsView(const Route& route, const WaypointPositionLookup& lookup,
                                           LegDistanceUnit unit);

}  // namespace orv
