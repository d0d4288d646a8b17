#include "nav/route_guidance.h"

#include <cmath>

#include "nav/geodesy.h"
#include "nav/navigation_database.h"

namespace orv {
namespace {

constexpr GuidanceThresholds kWalk = {10.8,      0.010799136, 0.021598272,
                                      0.1349892, 0.2699784,   0.010799136};
constexpr GuidanceThresholds kDrive = {43.2,      0.02699784, 0.05399568,
                                       0.2699784, 0.5399568,  0.02699784};
constexpr GuidanceThresholds kFlight = {135.0,     0.16198704, 0.32397408,
                                        2.1598272, 3.7796976,  0.16198704};

constexpr double kRadiansPerDegree = 0.01745329252;
// cos() of a right angle comes out a few 1e-12 off zero; heading sideways must not turn
// into an estimate of ages.
constexpr double kClosingEpsilon = 1e-9;
// Beyond this an arrival time means nothing (and would not fit a calendar time).
constexpr double kLongestEstimateHours = 1e7;

TargetWaypoint LookUp(const NavigationDatabase& database, const std::string& name) {
  TargetWaypoint entry{name, {}, std::nullopt};
  const std::optional<Waypoint> waypoint = database.WaypointAt(database.FindWaypoint(name));
  if (waypoint) {
    entry.description = waypoint->Description();
    if (waypoint->HasKnownPosition()) {
      entry.position =
          GeoPoint{waypoint->Position().LatitudeDegrees(), waypoint->Position().LongitudeDegrees()};
    }
  }
  return entry;
}

bool IsSlow(const GuidanceThresholds& thresholds, double speed_knots) {
  return !(speed_knots > thresholds.speed_threshold_knots);
}

double DistanceBetween(const GeoPoint& a, const GeoPoint& b) {
  return GeoDistance(a.latitude, a.longitude, b.latitude, b.longitude);
}

}  // namespace

GuidanceKind GuidanceKindFromSetting(std::uint32_t value) {
  switch (value) {
    case 1:
      return GuidanceKind::kWalk;
    case 3:
      return GuidanceKind::kFlight;
    default:
      return GuidanceKind::kDrive;
  }
}

const GuidanceThresholds& ThresholdsOf(GuidanceKind kind) {
  switch (kind) {
    case GuidanceKind::kWalk:
      return kWalk;
    case GuidanceKind::kFlight:
      return kFlight;
    case GuidanceKind::kDrive:
      break;
  }
  return kDrive;
}

double ArrivalRadius(GuidanceKind kind, double speed_knots) {
  const GuidanceThresholds& t = ThresholdsOf(kind);
  return IsSlow(t, speed_knots) ? t.arrival_radius_slow_nm : t.arrival_radius_fast_nm;
}

double ApproachDistance(GuidanceKind kind, double speed_knots) {
  const GuidanceThresholds& t = ThresholdsOf(kind);
  return IsSlow(t, speed_knots) ? t.approach_distance_slow_nm : t.approach_distance_fast_nm;
}

double PointSpacing(GuidanceKind kind) {
  return ThresholdsOf(kind).point_spacing_nm;
}

GuidanceTarget GuidanceTarget::ForWaypoint(TargetWaypoint waypoint) {
  GuidanceTarget target;
  target.waypoints.push_back(std::move(waypoint));
  return target;
}

GuidanceTarget GuidanceTarget::ForRoute(std::vector<TargetWaypoint> entries, int current_index) {
  GuidanceTarget target;
  target.is_route = true;
  target.waypoints = std::move(entries);
  target.current_index = current_index;
  return target;
}

std::optional<GuidanceFigures> RouteGuidance::Update(const std::optional<GuidanceFix>& fix,
                                                     const GuidanceTarget& target,
                                                     std::int64_t now_seconds,
                                                     std::size_t max_following) {
  if (fix && fix->speed_knots > 0.0) remembered_course_ = fix->course;
  if (!fix) return std::nullopt;

  const int count = static_cast<int>(target.waypoints.size());
  const int current = target.is_route ? target.current_index : 0;
  if (current < 0 || current >= count) return std::nullopt;
  const auto& aim = target.waypoints[static_cast<std::size_t>(current)].position;
  if (!aim) return std::nullopt;

  const GeoPoint& here = fix->position;
  GuidanceFigures figures;
  figures.bearing = GeoAzimuth(here.latitude, here.longitude, aim->latitude, aim->longitude);
  figures.distance_nm = DistanceBetween(here, *aim);
  figures.next_index = current;

  const bool following_route = target.is_route && settings_.follow_route;
  figures.route_distance_nm = figures.distance_nm;
  if (following_route) {
    // A leg with a missing end adds nothing, as the route's leg figures show it.
    for (int i = current; i + 1 < count; ++i) {
      const auto& from = target.waypoints[static_cast<std::size_t>(i)].position;
      const auto& to = target.waypoints[static_cast<std::size_t>(i) + 1].position;
      if (from && to) figures.route_distance_nm += DistanceBetween(*from, *to);
    }
  }

  if (target.is_route) {
    for (int i = current; i < count && figures.following.size() < max_following; ++i) {
      const TargetWaypoint& entry = target.waypoints[static_cast<std::size_t>(i)];
      FollowingWaypoint row{entry.name, entry.description, std::nullopt};
      if (entry.position) row.distance_nm = DistanceBetween(here, *entry.position);
      figures.following.push_back(std::move(row));
    }
  }

  if (figures.route_distance_nm <= kAimAchievedDistanceNm) {
    figures.estimate = ArrivalEstimate::kAimAchieved;
    return figures;
  }

  const double heading = fix->speed_knots > 0.0 ? fix->course : remembered_course_;
  const double closing =
      std::cos(heading * kRadiansPerDegree - figures.bearing * kRadiansPerDegree);
  figures.estimate = ArrivalEstimate::kEternity;
  if (closing > kClosingEpsilon && fix->speed_knots > 0.0) {
    const double velocity_made_good = closing * fix->speed_knots;
    const double hours = figures.route_distance_nm / velocity_made_good;
    if (hours < kLongestEstimateHours) {
      // Seconds are dropped: the estimate is shown to the minute.
      const auto minutes = static_cast<std::int64_t>(hours * 60.0);
      figures.estimate = ArrivalEstimate::kTimed;
      figures.ete_seconds = minutes * 60;
      figures.eta_seconds = now_seconds + figures.ete_seconds;
    }
  }

  if (following_route) {
    figures.arrived = figures.distance_nm < ArrivalRadius(settings_.kind, fix->speed_knots);
    if (figures.arrived && current + 1 < count) figures.next_index = current + 1;
  }
  return figures;
}

std::optional<GuidanceFigures> RouteGuidance::UpdateActiveTarget(
    const std::optional<GuidanceFix>& fix, NavigationDatabase& database, std::int64_t now_seconds,
    std::size_t max_following) {
  const std::optional<GuidanceTarget> target = ActiveGuidanceTarget(database);
  // Without a target the fix still updates the remembered course.
  std::optional<GuidanceFigures> figures =
      Update(fix, target.value_or(GuidanceTarget{}), now_seconds, max_following);
  if (figures && target && figures->next_index != target->current_index) {
    database.SelectNextRouteLeg();
  }
  return figures;
}

std::optional<GuidanceTarget> ActiveGuidanceTarget(const NavigationDatabase& database) {
  const ActiveTarget target = database.Target();
  if (target.kind == TargetKind::kWaypoint) {
    const std::optional<Waypoint> waypoint = database.WaypointAt(target.index);
    if (!waypoint) return std::nullopt;
    return GuidanceTarget::ForWaypoint(LookUp(database, waypoint->Name()));
  }
  if (target.kind == TargetKind::kRoute) {
    const std::optional<Route> route = database.RouteAt(target.index);
    if (!route) return std::nullopt;
    std::vector<TargetWaypoint> entries;
    entries.reserve(route->Size());
    for (const std::string& name : route->WaypointNames())
      entries.push_back(LookUp(database, name));
    return GuidanceTarget::ForRoute(std::move(entries), route->CurrentWaypointIndex());
  }
  return std::nullopt;
}

}  // namespace orv
