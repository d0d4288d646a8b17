#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "nav/geodesy.h"
#include "nav/navigation_database.h"
#include "nav/nearest_waypoints.h"

namespace orv {
namespace {

const GeoPoint kHere{46.0, 8.0};

GuidanceFix Standing() {
  return {kHere, 0.0, 0.0};
}

GeoPoint Toward(double azimuth, double distance_nm) {
  GeoPoint p;
  GeoDestination(kHere.latitude, kHere.longitude, distance_nm, azimuth, p.latitude, p.longitude);
  return p;
}

std::vector<std::size_t> Indices(const std::vector<NearestRow>& rows) {
  std::vector<std::size_t> indices;
  for (const NearestRow& row : rows) indices.push_back(row.index);
  return indices;
}

// The selection as the list window describes it: scan for the strictly nearest, take it
// out, repeat.
std::vector<std::size_t> ByRepeatedScan(const GeoPoint& here, std::vector<GeoPoint> points,
                                        std::size_t count) {
  std::vector<std::size_t> left(points.size());
  for (std::size_t i = 0; i < left.size(); ++i) left[i] = i;
  std::vector<std::size_t> picked;
  while (picked.size() < count && !left.empty()) {
    std::size_t best = 0;
    double best_distance = 0.0;
    for (std::size_t k = 0; k < left.size(); ++k) {
      const GeoPoint& p = points[left[k]];
      const double d = GeoDistance(here.latitude, here.longitude, p.latitude, p.longitude);
      if (k == 0 || d < best_distance) {
        best = k;
        best_distance = d;
      }
    }
    picked.push_back(left[best]);
    left.erase(left.begin() + static_cast<std::ptrdiff_t>(best));
  }
  return picked;
}

TEST(NearestWaypointsTest, RowCounts) {
  const std::vector<GeoPoint> four = {Toward(0, 4), Toward(90, 1), Toward(180, 3), Toward(270, 2)};
  EXPECT_EQ(Indices(FindNearestWaypoints(Standing(), four, 10)),
            (std::vector<std::size_t>{1, 3, 2, 0}));
  EXPECT_EQ(Indices(FindNearestWaypoints(Standing(), four, kAllNearest)),
            (std::vector<std::size_t>{1, 3, 2, 0}));
  EXPECT_EQ(Indices(FindNearestWaypoints(Standing(), four, 2)), (std::vector<std::size_t>{1, 3}));
  EXPECT_TRUE(FindNearestWaypoints(Standing(), {}, 10).empty());
  EXPECT_TRUE(FindNearestWaypoints(std::nullopt, four, 10).empty()) << "no current position";

  EXPECT_EQ(NearestRowCount(10, 4), 4u);
  EXPECT_EQ(NearestRowCount(kAllNearest, 7), 7u);
  EXPECT_EQ(NearestRowCount(100, 1000), 100u);
}

TEST(NearestWaypointsTest, EqualDistancesKeepTheStoredOrder) {
  const GeoPoint near = Toward(45, 1.0);
  const GeoPoint far = Toward(200, 2.0);
  const std::vector<GeoPoint> points = {far, near, far, near, Toward(10, 0.5), near};
  EXPECT_EQ(Indices(FindNearestWaypoints(Standing(), points, kAllNearest)),
            (std::vector<std::size_t>{4, 1, 3, 5, 0, 2}));
  EXPECT_EQ(Indices(FindNearestWaypoints(Standing(), points, 3)),
            (std::vector<std::size_t>{4, 1, 3}));
}

TEST(NearestWaypointsTest, SameOrderAsRepeatedScanningOnACrowdedGrid) {
  // A coarse grid makes many candidates share a distance.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> step(-6, 6);
  std::vector<GeoPoint> points;
  for (int i = 0; i < 400; ++i) {
    points.push_back({kHere.latitude + step(random) * 0.01, kHere.longitude + step(random) * 0.01});
  }
  for (int requested : {1, 10, 100, kAllNearest}) {
    SCOPED_TRACE(requested);
    const auto rows = FindNearestWaypoints(Standing(), points, requested);
    EXPECT_EQ(Indices(rows), ByRepeatedScan(kHere, points, NearestRowCount(requested, 400)));
  }
}

TEST(NearestWaypointsTest, WaypointAtTheCurrentPosition) {
  const std::vector<GeoPoint> points = {kHere};
  const auto rows = FindNearestWaypoints(GuidanceFix{kHere, 5.0, 0.0}, points, 10);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].distance_nm, 0.0);
  EXPECT_EQ(rows[0].mark, BearingMark::kNone);
  EXPECT_EQ(NearestBearingText(rows[0]), "Unknown");
}

struct BearingCase {
  const char* legend;
  double speed;
  double course;
  double azimuth;
  const char* text;
};

class NearestBearingTest : public ::testing::TestWithParam<BearingCase> {};

TEST_P(NearestBearingTest, MarksAheadAndBehind) {
  const BearingCase& c = GetParam();
  const std::vector<GeoPoint> points = {Toward(c.azimuth, 1.0)};
  const auto rows = FindNearestWaypoints(GuidanceFix{kHere, c.speed, c.course}, points, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(NearestBearingText(rows[0]), c.text);
}

const BearingCase kBearingCases[] = {
    {"ahead across north", 5.0, 10.0, 350.0, "Ahead - 350.0\xC2\xB0"},
    {"behind", 5.0, 10.0, 190.0, "Behind - 190.0\xC2\xB0"},
    {"abeam", 5.0, 10.0, 100.0, "100.0\xC2\xB0"},
    {"behind across north", 5.0, 200.0, 10.0, "Behind - 10.0\xC2\xB0"},
    {"standing still", 0.0, 10.0, 350.0, "350.0\xC2\xB0"},
    {"standing still, behind", 0.0, 10.0, 190.0, "190.0\xC2\xB0"},
};

INSTANTIATE_TEST_SUITE_P(Sectors, NearestBearingTest, ::testing::ValuesIn(kBearingCases));

TEST(NearestBearingTest, SectorsAreOpen) {
  struct Case {
    double bearing, speed, course;
    BearingMark mark;
  };
  const Case cases[] = {
      {54.9, 1.0, 10.0, BearingMark::kAhead},   {55.0, 1.0, 10.0, BearingMark::kNone},
      {325.1, 1.0, 10.0, BearingMark::kAhead},  {325.0, 1.0, 10.0, BearingMark::kNone},
      {235.0, 1.0, 10.0, BearingMark::kNone},   {234.9, 1.0, 10.0, BearingMark::kBehind},
      {145.1, 1.0, 10.0, BearingMark::kBehind}, {10.0, -1.0, 10.0, BearingMark::kNone},
      {-1.0, 1.0, 10.0, BearingMark::kNone},    {0.0, 1.0, 359.0, BearingMark::kAhead},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MarkBearing(c.bearing, c.speed, c.course), c.mark)
        << c.bearing << " at course " << c.course;
  }
}

TEST(NearestWaypointsTest, Titles) {
  EXPECT_EQ(NearestTitle(10), "10 Nearest Waypoints");
  EXPECT_EQ(NearestTitle(100), "100 Nearest Waypoints");
  EXPECT_EQ(NearestTitle(kAllNearest), "Nearest Waypoints");
  EXPECT_EQ(NearestRouteLine("Alps"), "of 'Alps' route");
}

class RecordingPrompter : public Prompter {
 public:
  explicit RecordingPrompter(PromptAnswer answer) : answer_(answer) {}
  PromptAnswer Ask(const Prompt& prompt) override {
    asked.push_back(prompt);
    return answer_;
  }
  std::vector<Prompt> asked;

 private:
  PromptAnswer answer_;
};

TEST(NearestWaypointsTest, AllIsAskedFirst) {
  for (const PromptAnswer answer : {PromptAnswer::kYes, PromptAnswer::kNo}) {
    RecordingPrompter prompter(answer);
    EXPECT_EQ(ConfirmNearestAll(prompter), answer == PromptAnswer::kYes);
    ASSERT_EQ(prompter.asked.size(), 1u);
    const Prompt& prompt = prompter.asked[0];
    EXPECT_EQ(prompt.text,
              "If the Data Base of Navigation is too big, it could take a big amount of "
              "time!\n\nContinue?");
    EXPECT_EQ(prompt.caption, "Question");
    EXPECT_EQ(prompt.icon, PromptIcon::kQuestion);
    EXPECT_EQ(prompt.buttons, PromptButtons::kYesNo);
    EXPECT_EQ(prompt.defaultButton, 1) << "No is the default";
  }
}

TEST(NearestCandidatesTest, FromTheDatabase) {
  NavigationDatabase database;
  const auto add = [&](const char* name, double lat, double lon) {
    LatLong position;
    position.SetDegrees(lat, lon);
    ASSERT_TRUE(database.AppendWaypoint(Waypoint(name, position)));
  };
  add("A", 46.1, 8.0);
  add("B", 46.2, 8.0);
  add("C", -46.3, -8.0);
  ASSERT_TRUE(database.AppendRoute(Route("R", {"C", "gone", "A", "C"})));

  const NearestCandidates all = AllWaypointCandidates(database);
  EXPECT_EQ(all.names, (std::vector<std::string>{"A", "B", "C"}));
  ASSERT_EQ(all.positions.size(), 3u);
  EXPECT_DOUBLE_EQ(all.positions[2].latitude, -46.3);
  EXPECT_DOUBLE_EQ(all.positions[2].longitude, -8.0);

  const NearestCandidates route = RouteWaypointCandidates(database, 0);
  EXPECT_EQ(route.names, (std::vector<std::string>{"C", "A", "C"}));
  EXPECT_TRUE(RouteWaypointCandidates(database, 1).names.empty());
  EXPECT_TRUE(RouteWaypointCandidates(database, -1).names.empty());
}

}  // namespace
}  // namespace orv
