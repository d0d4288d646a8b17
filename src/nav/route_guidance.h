#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "nav/geo_point.h"

namespace orv {

class NavigationDatabase;

// The stored "KindOfRouteGuidance" value. It sets how close counts as arrived.
enum class GuidanceKind : int { kWalk = 1, kDrive = 2, kFlight = 3 };

inline constexpr GuidanceKind kDefaultGuidanceKind = GuidanceKind::kDrive;

// Any value other than Walk and Flight guides as Drive.
GuidanceKind GuidanceKindFromSetting(std::uint32_t value);

// Distances in nautical miles; "slow" applies at or below the speed threshold.
struct GuidanceThresholds {
  double speed_threshold_knots;
  double arrival_radius_slow_nm;
  double arrival_radius_fast_nm;
  double approach_distance_slow_nm;
  double approach_distance_fast_nm;
  double point_spacing_nm;
};

const GuidanceThresholds& ThresholdsOf(GuidanceKind kind);
// A route waypoint counts as reached when DST is strictly below this radius.
double ArrivalRadius(GuidanceKind kind, double speed_knots);
// The view switches to its near-target presentation when DST is below this distance.
double ApproachDistance(GuidanceKind kind, double speed_knots);
// The spacing the track-to-route conversion keeps between route points.
double PointSpacing(GuidanceKind kind);

// At or below this route distance (10 m) the target counts as reached.
inline constexpr double kAimAchievedDistanceNm = 0.005399568;
// How many following route waypoints the view lists in its normal and large layout.
inline constexpr std::size_t kFollowingWaypointsNormal = 5;
inline constexpr std::size_t kFollowingWaypointsLarge = 7;

struct GuidanceSettings {
  GuidanceKind kind = kDefaultGuidanceKind;
  bool follow_route = true;  // "AutomaticallyFollowTheRoute"
};

// The current fix: position, speed over ground in knots, course over ground in degrees.
struct GuidanceFix {
  GeoPoint position;
  double speed_knots = 0.0;
  double course = 0.0;
};

// One waypoint of the target, already looked up by name: no position when no waypoint of
// that name exists.
struct TargetWaypoint {
  std::string name;
  std::string description;
  std::optional<GeoPoint> position;
};

// The active target in plain terms: a single waypoint (Go To) or the entries of a route
// (Go Along) with the entry guidance is heading for.
struct GuidanceTarget {
  bool is_route = false;
  std::vector<TargetWaypoint> waypoints;
  int current_index = 0;

  static GuidanceTarget ForWaypoint(TargetWaypoint waypoint);
  static GuidanceTarget ForRoute(std::vector<TargetWaypoint> entries, int current_index);
};

enum class ArrivalEstimate {
  kAimAchieved,  // within 10 m of the end
  kEternity,     // not closing in: moving away, sideways or standing still
  kTimed,        // ete_seconds and eta_seconds hold the estimate
};

struct FollowingWaypoint {
  std::string name;
  std::string description;
  std::optional<double> distance_nm;  // none when the waypoint is missing
};

// What one guidance update found, in internal units; texts are made at the display edge.
struct GuidanceFigures {
  double bearing = -1.0;  // degrees true, -1 when standing on the target
  double distance_nm = 0.0;
  double route_distance_nm = 0.0;
  ArrivalEstimate estimate = ArrivalEstimate::kEternity;
  std::int64_t ete_seconds = 0;  // whole minutes
  std::int64_t eta_seconds = 0;  // seconds since 1970-01-01 UTC
  // Route following: whether the current entry was reached, and the entry to head for next
  // (the same one at the last entry, where the route ends).
  bool arrived = false;
  int next_index = 0;
  // For a route: the current entry and those after it, at most the requested count.
  std::vector<FollowingWaypoint> following;
};

// Computes the guidance figures against the active target on every refresh. It keeps the
// last course seen while moving, because a receiver standing still reports no usable
// course and the estimate then needs the heading the user had.
class RouteGuidance {
 public:
  explicit RouteGuidance(GuidanceSettings settings = {}) : settings_(settings) {}

  const GuidanceSettings& Settings() const { return settings_; }
  void SetSettings(const GuidanceSettings& settings) { settings_ = settings; }

  // No figures without a fix, without a target, or when the target waypoint (the current
  // entry of a route) is missing. `now_seconds` is the device clock, seconds since 1970.
  std::optional<GuidanceFigures> Update(const std::optional<GuidanceFix>& fix,
                                        const GuidanceTarget& target, std::int64_t now_seconds,
                                        std::size_t max_following = kFollowingWaypointsNormal);

  // One refresh against the database's active target. With automatic following on, arrival
  // at a route's current waypoint moves the route on to its next one (at the last it stays),
  // so the next refresh heads there; the figures returned are those of the arrival.
  std::optional<GuidanceFigures> UpdateActiveTarget(
      const std::optional<GuidanceFix>& fix, NavigationDatabase& database, std::int64_t now_seconds,
      std::size_t max_following = kFollowingWaypointsNormal);

  double RememberedCourse() const { return remembered_course_; }

 private:
  GuidanceSettings settings_;
  double remembered_course_ = 0.0;
};

// The database's active target with every entry looked up by name, for Update; none when
// no target is set or it no longer exists. A route's current entry is the one the route
// keeps.
std::optional<GuidanceTarget> ActiveGuidanceTarget(const NavigationDatabase& database);

}  // namespace orv
