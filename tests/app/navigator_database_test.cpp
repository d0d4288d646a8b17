#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/navigation_database_sink.h"
#include "app/navigator.h"
#include "app/track_file_reader.h"
#include "nav/navigation_database.h"
#include "nmea_fixture.h"
#include "platform/scripted_prompter.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

const std::string kWpdAlpha = test::NmeaLine("POVRWPD,ALPHA,harbour entrance");
const std::string kWplAlpha = test::NmeaLine("GPWPL,4807.0380,N,01131.0000,E,ALPHA");
const std::string kWplBravo = test::NmeaLine("GPWPL,4808.0000,N,01132.0000,E,BRAVO");
const std::string kRteOne = test::NmeaLine("GPRTE,1,1,C,ONE,ALPHA,BRAVO");
const std::string kRteTwo = test::NmeaLine("GPRTE,1,1,W,TWO,BRAVO");

// Epochs 100 m apart, one a second, so the movement filter keeps each one.
std::string Drive(int count = 3, int first = 0) {
  std::string text;
  for (int s = first; s < first + count; ++s) {
    test::Fix fix;
    fix.second += s;
    fix.northMetres = 100.0 * s;
    fix.knots = 20.0;
    text += test::Gga(fix) + test::Rmc(fix);
  }
  return text;
}

class NavigatorDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orv_navigator_database_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    navigator_.SetNavigationSink(&sink_);
  }
  void TearDown() override {
    navigator_.SetNavigationSink(nullptr);
    fs::remove_all(dir_);
  }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  fs::path dir_;
  NavigationDatabase database_;
  NavigationDatabaseSink sink_{database_};
  Navigator navigator_;
  ScriptedPrompter prompter_;
};

TEST_F(NavigatorDatabaseTest, IdThreeReachesTheDatabaseWithTheSourceName) {
  int error = 0;
  EXPECT_EQ(navigator_.ProcessSentence(Navigator::kNavigationId, kWpdAlpha, error, "/dev/rfcomm0"),
            1);
  EXPECT_EQ(navigator_.ProcessSentence(Navigator::kNavigationId, kWplAlpha, error, "/dev/rfcomm0"),
            1);
  test::Fix fix;
  EXPECT_EQ(
      navigator_.ProcessSentence(Navigator::kNavigationId, test::Gga(fix), error, "/dev/rfcomm0"),
      0);
  // Without a source name (no port set) nothing is taken.
  EXPECT_EQ(navigator_.ProcessSentence(Navigator::kNavigationId, kWplBravo, error, ""), 0);
  EXPECT_EQ(error, 0);

  ASSERT_EQ(database_.WaypointCount(), 1);
  const Waypoint alpha = *database_.WaypointAt(0);
  EXPECT_EQ(alpha.Name(), "ALPHA");
  EXPECT_EQ(alpha.Description(), "harbour entrance");
  EXPECT_EQ(alpha.PlaceToStore(), "/dev/rfcomm0");
  EXPECT_FALSE(database_.IsSaved());
  EXPECT_EQ(navigator_.ImportState(), 1);

  // Resetting the import state keeps the records; clearing id 3 empties the database.
  navigator_.ResetImportState();
  EXPECT_EQ(navigator_.ImportState(), 0);
  EXPECT_EQ(database_.WaypointCount(), 1);
  navigator_.Clear(Navigator::kNavigationId);
  EXPECT_EQ(database_.WaypointCount(), 0);
}

TEST_F(NavigatorDatabaseTest, TrackFileLoadsPointsAndImportsWaypointsAndRoutes) {
  const std::string path = WriteFile(
      "trip.txt", Drive() + kWpdAlpha + kWplAlpha + kWplBravo + kRteOne + kRteTwo + Drive(2, 3));
  TrackFileReader reader(navigator_, prompter_);
  ASSERT_TRUE(reader.LoadNow(path));

  const TrackLoadOutcome outcome = reader.LastOutcome();
  EXPECT_EQ(navigator_.Recorded().PointCount(), 5);
  EXPECT_EQ(outcome.points, 5);
  EXPECT_EQ(outcome.importState, 4);
  EXPECT_TRUE(outcome.OpensRouteList());
  EXPECT_FALSE(outcome.OpensWaypointList());

  ASSERT_EQ(database_.WaypointCount(), 2);
  ASSERT_EQ(database_.RouteCount(), 2);
  EXPECT_EQ(database_.WaypointAt(0)->Description(), "harbour entrance");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(database_.WaypointAt(i)->PlaceToStore(), path);
    EXPECT_EQ(database_.RouteAt(i)->PlaceToStore(), path);
  }
  EXPECT_EQ(database_.RouteAt(0)->WaypointNames(), (std::vector<std::string>{"ALPHA", "BRAVO"}));
  EXPECT_TRUE(prompter_.Asked().empty());
}

TEST_F(NavigatorDatabaseTest, EachLoadReportsWhatItImported) {
  struct Case {
    const char* legend;
    std::string body;
    int importState;
    bool waypointList;
    bool routeList;
  };
  const Case cases[] = {
      {"plain track", Drive(), 0, false, false},
      {"one waypoint", Drive() + kWplAlpha, 1, true, false},
      {"two waypoints", kWplAlpha + kWplBravo, 2, true, false},
      {"waypoints and one route", kWplAlpha + kWplBravo + kRteOne, 3, false, true},
      {"a broken route sentence imports nothing", test::NmeaLine("GPRTE,1,2,C,ONE,ALPHA"), 0, false,
       false},
  };
  TrackFileReader reader(navigator_, prompter_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    // A fresh database each time, so that same-name records do not ask; the import
    // state must still start over with every load.
    database_.Clear();
    database_.TakeSentence(kWplAlpha, "elsewhere");
    ASSERT_TRUE(reader.LoadNow(WriteFile("load.txt", c.body)));
    const TrackLoadOutcome outcome = reader.LastOutcome();
    EXPECT_EQ(outcome.importState, c.importState);
    EXPECT_EQ(outcome.OpensWaypointList(), c.waypointList);
    EXPECT_EQ(outcome.OpensRouteList(), c.routeList);
    EXPECT_GE(database_.WaypointCount(), 1);  // the load never empties the database
  }
}

}  // namespace
}  // namespace orv
