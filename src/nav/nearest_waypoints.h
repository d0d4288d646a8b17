#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "nav/geo_point.h"
#include "nav/route_guidance.h"
#include "platform/prompter.h"

namespace orv {

class NavigationDatabase;

// The counts of the Nearest Waypoints submenu; kAllNearest lists every candidate.
inline constexpr int kNearestCounts[] = {10, 20, 30, 40, 50, 100};
inline constexpr int kAllNearest = -1;

inline constexpr std::string_view kNearestTitle = "Nearest Waypoints";
inline constexpr std::string_view kNearestEmptyStatus =
    "Either there isn't current position or not Waypoints";
inline constexpr std::string_view kNearestAllQuestion =
    "If the Data Base of Navigation is too big, it could take a big amount of time!\n\nContinue?";

// Where a bearing lies against the direction of travel.
enum class BearingMark { kNone, kAhead, kBehind };

struct NearestRow {
  std::size_t index = 0;  // into the candidate list
  double distance_nm = 0.0;
  double bearing = -1.0;  // GeoAzimuth; -1 when the waypoint is at the current position
  BearingMark mark = BearingMark::kNone;
};

// The count a submenu choice stands for: kAllNearest or more than there are gives all.
std::size_t NearestRowCount(int requested, std::size_t candidates);

// Ahead when the bearing lies strictly within 45 degrees of the course, behind when strictly
// within 45 degrees of the reverse course; only while moving, and only for a known bearing.
BearingMark MarkBearing(double bearing, double speed_knots, double course);

// The `requested` candidates nearest to the fix, nearest first; equal distances keep the
// candidates' order. Empty without a fix. Cost: one distance per candidate and a partial
// sort, so even "All" over a large database stays quick.
std::vector<NearestRow> FindNearestWaypoints(const std::optional<GuidanceFix>& fix,
                                             std::span<const GeoPoint> candidates, int requested);

// "Ahead - 350.0°", "Behind - 190.0°", "100.0°" or "Unknown".
std::string NearestBearingText(const NearestRow& row);

// First title line: "10 Nearest Waypoints", or "Nearest Waypoints" for all.
std::string NearestTitle(int requested);
// Second title line in route mode: "of 'Alps' route".
std::string NearestRouteLine(std::string_view route_name);

// Asks before listing all waypoints; true to go on. The default answer is No.
bool ConfirmNearestAll(Prompter& prompter);

// The candidates in stored order: every waypoint of the database, or the entries of one
// route looked up by name (missing names are left out, repeated ones listed again).
struct NearestCandidates {
  std::vector<std::string> names;
  std::vector<GeoPoint> positions;
};
NearestCandidates AllWaypointCandidates(const NavigationDatabase& database);
NearestCandidates RouteWaypointCandidates(const NavigationDatabase& database, int route_index);

}  // namespace orv
