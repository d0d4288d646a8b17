#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nav/geodesy.h"
#include "nav/navigation_database.h"
#include "nav/route_guidance.h"

namespace orv {
namespace {

constexpr double kMetre = 1.0 / 1852.0;  // nautical miles
constexpr std::int64_t kNow = 1'800'000'000;
const GeoPoint kOrigin{45.0, 7.0};

// The point due north of the origin at the given geodesic distance, found by bisection so
// that the boundaries below are met to well under a millimetre.
GeoPoint NorthOfOrigin(double distance_nm) {
  double low = 0.0;
  double high = distance_nm / 50.0;
  for (int i = 0; i < 200; ++i) {
    const double middle = (low + high) / 2.0;
    const double d = GeoDistance(kOrigin.latitude, kOrigin.longitude, kOrigin.latitude + middle,
                                 kOrigin.longitude);
    (d < distance_nm ? low : high) = middle;
  }
  return {kOrigin.latitude + high, kOrigin.longitude};
}

GuidanceFix At(const GeoPoint& position, double speed_knots, double course) {
  return {position, speed_knots, course};
}

TargetWaypoint Named(const char* name, std::optional<GeoPoint> position) {
  return {name, std::string("about ") + name, position};
}

TEST(GuidanceThresholdsTest, RadiiByKindAndSpeed) {
  struct Case {
    const char* legend;
    std::uint32_t setting;
    double speed;
    double radius;
    double approach;
  };
  const Case cases[] = {
      {"walk at the threshold", 1, 10.8, 20 * kMetre, 250 * kMetre},
      {"walk above the threshold", 1, 10.9, 40 * kMetre, 500 * kMetre},
      {"drive standing", 2, 0.0, 50 * kMetre, 500 * kMetre},
      {"drive at 43.2 knots", 2, 43.2, 50 * kMetre, 500 * kMetre},
      {"drive above", 2, 43.3, 100 * kMetre, 1000 * kMetre},
      {"flight at 135 knots", 3, 135.0, 300 * kMetre, 4000 * kMetre},
      {"flight above", 3, 135.1, 600 * kMetre, 7000 * kMetre},
      {"kind 0 guides as drive", 0, 43.3, 100 * kMetre, 1000 * kMetre},
      {"kind 9 guides as drive", 9, 10.0, 50 * kMetre, 500 * kMetre},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    const GuidanceKind kind = GuidanceKindFromSetting(c.setting);
    // The table holds the metre figures rounded to eight significant digits.
    EXPECT_NEAR(ArrivalRadius(kind, c.speed), c.radius, 1e-7);
    EXPECT_NEAR(ApproachDistance(kind, c.speed), c.approach, 1e-7);
  }
  EXPECT_NEAR(PointSpacing(GuidanceKind::kWalk), 20 * kMetre, 1e-8);
  EXPECT_NEAR(PointSpacing(GuidanceKind::kDrive), 50 * kMetre, 1e-8);
  EXPECT_NEAR(PointSpacing(GuidanceKind::kFlight), 300 * kMetre, 1e-8);
}

struct EstimateCase {
  const char* legend;
  double distance_nm;  // the target lies due north at this distance
  double speed;
  double course;
  ArrivalEstimate estimate;
  std::int64_t ete_seconds;
};

class GuidanceEstimateTest : public ::testing::TestWithParam<EstimateCase> {};

TEST_P(GuidanceEstimateTest, EstimateFromTheVelocityMadeGood) {
  const EstimateCase& c = GetParam();
  const GeoPoint target = NorthOfOrigin(c.distance_nm);
  RouteGuidance guidance;
  const auto figures = guidance.Update(At(kOrigin, c.speed, c.course),
                                       GuidanceTarget::ForWaypoint(Named("T", target)), kNow);
  ASSERT_TRUE(figures.has_value());
  EXPECT_NEAR(figures->bearing, 0.0, 1e-6);
  EXPECT_NEAR(figures->distance_nm, c.distance_nm, 1e-6 * kMetre);
  EXPECT_DOUBLE_EQ(figures->route_distance_nm, figures->distance_nm);
  EXPECT_EQ(figures->estimate, c.estimate);
  if (c.estimate == ArrivalEstimate::kTimed) {
    EXPECT_EQ(figures->ete_seconds, c.ete_seconds);
    EXPECT_EQ(figures->eta_seconds, kNow + c.ete_seconds);
  }
  EXPECT_FALSE(figures->arrived) << "a single waypoint is never advanced past";
}

constexpr double k5Km = 5000 * kMetre;
// 26 h 5 min 40 s at 10 knots straight at it: the seconds are dropped.
constexpr double kLongWay = 10.0 * (26.0 + 5.0 / 60.0 + 40.0 / 3600.0);

const EstimateCase kEstimateCases[] = {
    {"standing still", k5Km, 0.0, 0.0, ArrivalEstimate::kEternity, 0},
    {"moving away", k5Km, 10.0, 180.0, ArrivalEstimate::kEternity, 0},
    {"perpendicular, east", k5Km, 10.0, 90.0, ArrivalEstimate::kEternity, 0},
    {"perpendicular, west", k5Km, 10.0, 270.0, ArrivalEstimate::kEternity, 0},
    {"straight at it", kLongWay, 10.0, 0.0, ArrivalEstimate::kTimed, (26 * 60 + 5) * 60},
    {"at 60 degrees the speed counts half", 10.0, 20.0, 60.0, ArrivalEstimate::kTimed, 3600},
    {"just under an hour", 9.99, 10.0, 0.0, ArrivalEstimate::kTimed, 59 * 60},
    {"9.99 m away", 9.99 * kMetre, 10.0, 0.0, ArrivalEstimate::kAimAchieved, 0},
    // Distances this short come out of GeoDistance to about a millimetre, so the
    // boundary is taken a centimetre either side.
    {"10.01 m away", 10.01 * kMetre, 10.0, 0.0, ArrivalEstimate::kTimed, 0},
};

INSTANTIATE_TEST_SUITE_P(Estimates, GuidanceEstimateTest, ::testing::ValuesIn(kEstimateCases));

TEST(RouteGuidanceTest, NoFiguresWithoutFixOrTarget) {
  RouteGuidance guidance;
  const GuidanceFix fix = At(kOrigin, 5.0, 0.0);
  const GeoPoint somewhere = NorthOfOrigin(1.0);
  EXPECT_FALSE(
      guidance.Update(std::nullopt, GuidanceTarget::ForWaypoint(Named("T", somewhere)), kNow));
  EXPECT_FALSE(guidance.Update(fix, GuidanceTarget{}, kNow));
  EXPECT_FALSE(
      guidance.Update(fix, GuidanceTarget::ForWaypoint(Named("gone", std::nullopt)), kNow));
  const std::vector<TargetWaypoint> route = {Named("A", somewhere), Named("gone", std::nullopt)};
  EXPECT_FALSE(guidance.Update(fix, GuidanceTarget::ForRoute(route, 1), kNow));
  EXPECT_FALSE(guidance.Update(fix, GuidanceTarget::ForRoute(route, 2), kNow));
  EXPECT_FALSE(guidance.Update(fix, GuidanceTarget::ForRoute(route, -1), kNow));
}

TEST(RouteGuidanceTest, RememberedCourseIsTheLastOneWhileMoving) {
  RouteGuidance guidance;
  const auto target = GuidanceTarget::ForWaypoint(Named("T", NorthOfOrigin(1.0)));
  guidance.Update(At(kOrigin, 3.0, 45.0), target, kNow);
  guidance.Update(At(kOrigin, 0.0, 200.0), target, kNow);
  EXPECT_DOUBLE_EQ(guidance.RememberedCourse(), 45.0);
  guidance.Update(At(kOrigin, 0.1, 300.0), GuidanceTarget{}, kNow);
  EXPECT_DOUBLE_EQ(guidance.RememberedCourse(), 300.0) << "kept even without a target";
}

// A route due north: entries 1, 2 and 3 NM from the origin, a missing entry, then 5 NM.
class RouteFollowingTest : public ::testing::Test {
 protected:
  std::vector<TargetWaypoint> Entries() const {
    return {Named("R1", NorthOfOrigin(1.0)), Named("R2", NorthOfOrigin(2.0)),
            Named("R3", NorthOfOrigin(3.0)), Named("gone", std::nullopt),
            Named("R5", NorthOfOrigin(5.0))};
  }
  static double Leg(double from_nm, double to_nm) {
    const GeoPoint a = NorthOfOrigin(from_nm);
    const GeoPoint b = NorthOfOrigin(to_nm);
    return GeoDistance(a.latitude, a.longitude, b.latitude, b.longitude);
  }
};

TEST_F(RouteFollowingTest, RouteDistanceAddsTheRemainingLegs) {
  RouteGuidance guidance({GuidanceKind::kDrive, true});
  const auto figures =
      guidance.Update(At(kOrigin, 10.0, 0.0), GuidanceTarget::ForRoute(Entries(), 0), kNow);
  ASSERT_TRUE(figures.has_value());
  EXPECT_NEAR(figures->distance_nm, 1.0, 1e-9);
  // Legs R3-gone and gone-R5 count nothing.
  EXPECT_NEAR(figures->route_distance_nm, 1.0 + Leg(1, 2) + Leg(2, 3), 1e-9);
  EXPECT_EQ(figures->ete_seconds, 18 * 60);  // 3 NM at 10 knots
  EXPECT_FALSE(figures->arrived);
  EXPECT_EQ(figures->next_index, 0);

  guidance.SetSettings({GuidanceKind::kDrive, false});
  const auto unfollowed =
      guidance.Update(At(kOrigin, 10.0, 0.0), GuidanceTarget::ForRoute(Entries(), 0), kNow);
  ASSERT_TRUE(unfollowed.has_value());
  EXPECT_DOUBLE_EQ(unfollowed->route_distance_nm, unfollowed->distance_nm);
}

TEST_F(RouteFollowingTest, FollowingListStartsAtTheCurrentEntry) {
  RouteGuidance guidance;
  const auto figures =
      guidance.Update(At(kOrigin, 0.0, 0.0), GuidanceTarget::ForRoute(Entries(), 1), kNow, 3);
  ASSERT_TRUE(figures.has_value());
  ASSERT_EQ(figures->following.size(), 3u);
  EXPECT_EQ(figures->following[0].name, "R2");
  EXPECT_EQ(figures->following[0].description, "about R2");
  EXPECT_NEAR(*figures->following[0].distance_nm, 2.0, 1e-9);
  EXPECT_EQ(figures->following[2].name, "gone");
  EXPECT_FALSE(figures->following[2].distance_nm.has_value());

  const auto all = guidance.Update(At(kOrigin, 0.0, 0.0), GuidanceTarget::ForRoute(Entries(), 1),
                                   kNow, kFollowingWaypointsLarge);
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(all->following.size(), 4u);
  const auto single = guidance.Update(
      At(kOrigin, 0.0, 0.0), GuidanceTarget::ForWaypoint(Named("T", NorthOfOrigin(1))), kNow);
  ASSERT_TRUE(single.has_value());
  EXPECT_TRUE(single->following.empty());
}

struct ArrivalCase {
  const char* legend;
  GuidanceSettings settings;
  double speed;
  double metres_short;  // the fix lies this far south of the current entry
  int current_index;
  bool arrived;
  int next_index;
};

class RouteArrivalTest : public ::testing::TestWithParam<ArrivalCase> {};

TEST_P(RouteArrivalTest, AdvancesWithinTheArrivalRadius) {
  const ArrivalCase& c = GetParam();
  const std::vector<TargetWaypoint> entries = {Named("A", NorthOfOrigin(1.0)),
                                               Named("B", NorthOfOrigin(2.0)),
                                               Named("C", NorthOfOrigin(3.0))};
  const double aim_nm = 1.0 + c.current_index;
  const GeoPoint here = NorthOfOrigin(aim_nm - c.metres_short * kMetre);
  RouteGuidance guidance(c.settings);
  const auto figures = guidance.Update(At(here, c.speed, 0.0),
                                       GuidanceTarget::ForRoute(entries, c.current_index), kNow);
  ASSERT_TRUE(figures.has_value());
  ASSERT_NEAR(figures->distance_nm * 1852.0, c.metres_short, 0.01);
  EXPECT_EQ(figures->arrived, c.arrived);
  EXPECT_EQ(figures->next_index, c.next_index);
  if (c.current_index == 2 && c.metres_short > 10) {
    EXPECT_DOUBLE_EQ(figures->route_distance_nm, figures->distance_nm);
  }
}

constexpr GuidanceSettings kWalkFollowing{GuidanceKind::kWalk, true};
constexpr GuidanceSettings kFlightFollowing{GuidanceKind::kFlight, true};

const ArrivalCase kArrivalCases[] = {
    {"walk 19 m short at 10.8 knots", kWalkFollowing, 10.8, 19.0, 0, true, 1},
    {"walk 21 m short at 10.8 knots", kWalkFollowing, 10.8, 21.0, 0, false, 0},
    {"walk 21 m short at 10.9 knots", kWalkFollowing, 10.9, 21.0, 0, true, 1},
    {"walk 41 m short at 10.9 knots", kWalkFollowing, 10.9, 41.0, 0, false, 0},
    {"flight 290 m short", kFlightFollowing, 100.0, 290.0, 1, true, 2},
    {"last entry stays the current one", kWalkFollowing, 3.0, 15.0, 2, true, 2},
    {"following off never advances", {GuidanceKind::kWalk, false}, 3.0, 15.0, 0, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Radii, RouteArrivalTest, ::testing::ValuesIn(kArrivalCases));

TEST(ActiveGuidanceTargetTest, ResolvesTheDatabaseTarget) {
  NavigationDatabase database;
  EXPECT_FALSE(ActiveGuidanceTarget(database).has_value());
  const auto add = [&](const char* name, double nm) {
    const GeoPoint p = NorthOfOrigin(nm);
    LatLong position;
    position.SetDegrees(p.latitude, p.longitude);
    ASSERT_TRUE(database.AppendWaypoint(Waypoint(name, position, std::string("at ") + name)));
  };
  add("A", 1.0);
  add("B", 2.0);
  ASSERT_TRUE(database.AppendRoute(Route("R", {"B", "gone", "A"})));

  database.SetActiveTarget(TargetKind::kWaypoint, 1);
  auto target = ActiveGuidanceTarget(database);
  ASSERT_TRUE(target.has_value());
  EXPECT_FALSE(target->is_route);
  ASSERT_EQ(target->waypoints.size(), 1u);
  EXPECT_EQ(target->waypoints[0].name, "B");
  EXPECT_EQ(target->waypoints[0].description, "at B");

  database.GoAlong(0);
  target = ActiveGuidanceTarget(database);
  ASSERT_TRUE(target.has_value());
  EXPECT_TRUE(target->is_route);
  EXPECT_EQ(target->current_index, 0);
  ASSERT_EQ(target->waypoints.size(), 3u);
  EXPECT_TRUE(target->waypoints[0].position.has_value());
  EXPECT_FALSE(target->waypoints[1].position.has_value());
  EXPECT_EQ(target->waypoints[2].name, "A");

  RouteGuidance guidance;
  const auto figures = guidance.Update(At(kOrigin, 0.0, 0.0), *target, kNow);
  ASSERT_TRUE(figures.has_value());
  EXPECT_NEAR(figures->distance_nm, 2.0, 1e-9);
}

// Waypoints W1..W4 at 1, 2, 3 and 4 NM due north, followed as one route while the user
// walks north and stops at each one in turn.
struct FollowingCase {
  const char* legend;
  bool follow_route;
  std::vector<int> current_after;  // the route's current entry after each stop
};

class DatabaseFollowingTest : public ::testing::TestWithParam<FollowingCase> {};

TEST_P(DatabaseFollowingTest, ArrivalMovesTheRouteOn) {
  const FollowingCase& c = GetParam();
  SCOPED_TRACE(c.legend);
  NavigationDatabase database;
  std::vector<std::string> names;
  for (int k = 1; k <= 4; ++k) {
    const GeoPoint p = NorthOfOrigin(k);
    LatLong position;
    position.SetDegrees(p.latitude, p.longitude);
    names.push_back("W" + std::to_string(k));
    ASSERT_TRUE(database.AppendWaypoint(Waypoint(names.back(), position)));
  }
  ASSERT_TRUE(database.AppendRoute(Route("R", names)));
  database.GoAlong(0);

  RouteGuidance guidance({GuidanceKind::kWalk, c.follow_route});
  // Halfway to the first waypoint nothing is reached yet.
  ASSERT_TRUE(guidance.UpdateActiveTarget(At(NorthOfOrigin(0.5), 3.0, 0.0), database, kNow));
  EXPECT_EQ(database.RouteAt(0)->CurrentWaypointIndex(), 0);

  // The last stop falls short of W4 by more than the 10 m that would end guidance there.
  const double stops_nm[] = {1.0, 2.0, 3.0, 4.0 - 15.0 * kMetre};
  for (std::size_t i = 0; i < c.current_after.size(); ++i) {
    SCOPED_TRACE(stops_nm[i]);
    const auto figures =
        guidance.UpdateActiveTarget(At(NorthOfOrigin(stops_nm[i]), 3.0, 0.0), database, kNow);
    ASSERT_TRUE(figures.has_value());
    EXPECT_EQ(figures->arrived, c.follow_route);
    EXPECT_EQ(database.RouteAt(0)->CurrentWaypointIndex(), c.current_after[i]);
  }
}

const FollowingCase kFollowingCases[] = {
    {"following on: the last waypoint stays current", true, {1, 2, 3, 3}},
    {"following off: nothing advances", false, {0, 0, 0, 0}},
};

INSTANTIATE_TEST_SUITE_P(Walk, DatabaseFollowingTest, ::testing::ValuesIn(kFollowingCases));

}  // namespace
}  // namespace orv
