#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/display_units.h"
#include "nav/route_guidance.h"

namespace orv {

inline constexpr std::string_view kAimAchievedText = "aim achieved";
inline constexpr std::string_view kEternityText = "eternity";
inline constexpr std::string_view kRemoteFutureText = "remote future";
inline constexpr std::string_view kTomorrowPrefix = "tomrw at ";

// DST and the distances of the following waypoints: below one unit the small unit
// ("900 m", "5469 ft"), else one decimal ("1.2 km", "3.4 mi", "5.6 nmi").
std::string GuidanceDistanceText(double nautical_miles, DistanceUnits units);
// ERD: always one decimal in the large unit ("5.0 km").
std::string RouteDistanceText(double nautical_miles, DistanceUnits units);
// ETE as whole days, hours and minutes: "1, 02:05".
std::string EnrouteTimeText(std::int64_t seconds);
// ETA in the local time of the process time zone: "%H:%M" today, "tomrw at %H:%M"
// tomorrow, else "%b %d, %H:%M" with English month names ("Mar 02, 00:50").
std::string ArrivalTimeText(std::int64_t eta_seconds, std::int64_t now_seconds);
// BRG: "%.1f°", or "Unknown" when standing on the target.
std::string GuidanceBearingText(double bearing);

struct FollowingWaypointText {
  std::string name;
  std::string description;
  std::string distance;  // empty when the waypoint is missing
};

struct GuidanceTexts {
  std::string bearing;
  std::string distance;
  std::string enroute_time;
  std::string arrival_time;
  std::string route_distance;
  std::vector<FollowingWaypointText> following;
};

GuidanceTexts MakeGuidanceTexts(const GuidanceFigures& figures, DistanceUnits units,
                                std::int64_t now_seconds);

}  // namespace orv
