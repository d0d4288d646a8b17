#include "comm/route_transfer.h"

#include <algorithm>

#include "nav/navigation_database.h"

namespace orv {

std::optional<RouteTransfer> RouteTransferFor(const NavigationDatabase& database, int routeIndex) {
  const std::optional<Route> route = database.RouteAt(routeIndex);
  if (!route) return std::nullopt;
  RouteTransfer transfer;
  transfer.route = route->ToRecord();
  for (const std::string& name : route->WaypointNames()) {
    const bool listed = std::any_of(transfer.waypoints.begin(), transfer.waypoints.end(),
                                    [&](const RouteTransfer::Point& p) { return p.name == name; });
    if (listed) continue;
    if (const std::optional<Waypoint> waypoint = database.WaypointAt(database.FindWaypoint(name))) {
      transfer.waypoints.push_back({waypoint->Name(), waypoint->Position()});
    }
  }
  return transfer;
}

}  // namespace orv
