#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "test_folder.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

constexpr std::string_view kTwoHuts =
    "<kml><Document>"
    "<Placemark><name>Upper hut</name><Point><coordinates>11.5,48.25,0 </coordinates></Point>"
    "</Placemark>"
    "<Placemark><name>Near</name><Point><coordinates>11.5002,48.25,0 </coordinates></Point>"
    "</Placemark>"
    "<Placemark><name>Lower hut</name><Point><coordinates>11.6,48.2,0 </coordinates></Point>"
    "</Placemark>"
    "<Placemark><LineString><coordinates>11.5,48.25,0 11.6,48.2,0 </coordinates></LineString>"
    "</Placemark></Document></kml>";

// A private settings folder and database folder for each test.
class ImportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::path(file_.path()).parent_path();
    std::filesystem::create_directories(root_ / "config");
    std::filesystem::create_directories(root_ / "db");
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldConfig_ = old;
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  }
  void TearDown() override {
    if (oldConfig_) {
      setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }
  std::string Db() const { return (root_ / "db").string(); }

  TempFile file_{"huts.kml", std::string(kTwoHuts)};
  std::filesystem::path root_;
  std::optional<std::string> oldConfig_;
};

TEST_F(ImportCommand, StoresWaypointsAndRouteAndReportsTheTrack) {
  // Near lies 15 m from Upper hut, within the 50 m that Drive (the default) keeps.
  auto r = RunCli({"import", file_.path(), "--db", Db()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "file: " + file_.path() +
                       "\n"
                       "waypoints: 2 of 3 points\n"
                       "  huts_0000\n"
                       "  huts_0002\n"
                       "route: huts (2 waypoints)\n"
                       "track points: 2 of 2 line points\n"
                       "database: " +
                       Db() + "/NaviStor7.ovr (saved)\n");
  const std::string database = test::ReadWholeFile(std::filesystem::path(Db()) / "NaviStor7.ovr");
  EXPECT_NE(database.find("Upper hut"), std::string::npos);
  EXPECT_NE(database.find("huts_0002"), std::string::npos);
  EXPECT_NE(database.find("RTE"), std::string::npos);

  // Importing again moves the same waypoints to the end and keeps the route.
  r = RunCli({"import", file_.path(), "--db", Db(), "--kind", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("route: huts (2 waypoints)"), std::string::npos);
}

TEST_F(ImportCommand, FlightSpacingKeepsFewerWaypoints) {
  const TempFile close(
      "close.kml",
      "<kml><Document>"
      "<Placemark><Point><coordinates>11.5,48.25 </coordinates></Point></Placemark>"
      "<Placemark><Point><coordinates>11.503,48.25 </coordinates></Point></Placemark>"
      "</Document></kml>");
  // 0.003 degrees of longitude at 48.25 N are 222 m: apart for Drive, not for Flight.
  auto r = RunCli({"import", close.path(), "--db", Db(), "--kind", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("waypoints: 1 of 2 points"), std::string::npos) << r.out;
  r = RunCli({"import", close.path(), "--db", Db(), "--kind", "2"});
  EXPECT_NE(r.out.find("waypoints: 2 of 2 points"), std::string::npos) << r.out;
}

TEST_F(ImportCommand, NmeaFileLoadsAsATrackAndItsWaypointsReachTheDatabase) {
  constexpr Epoch kTrip[] = {{"10.0", "100.0"}, {"10.0", "110.0"}, {"10.0", "120.0"}};
  const TempFile track("drive.txt", Drive(kTrip) + Sentence("GPWPL,4807.038,N,01131.000,E,HOME"));
  const auto r = RunCli({"import", track.path(), "--db", Db()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("track points: 3\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(saved)"), std::string::npos) << r.out;
  EXPECT_NE(test::ReadWholeFile(std::filesystem::path(Db()) / "NaviStor7.ovr").find("HOME"),
            std::string::npos);
}

struct FailureCase {
  std::vector<std::string> args;
  int status;
  std::string message;
};

class ImportFailure : public ImportCommand, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ImportFailure, IsReported) {
  Args args = {"import"};
  for (const std::string& arg : GetParam().args) args.push_back(arg == "DB" ? Db() : arg);
  const auto r = RunCli(args);
  EXPECT_EQ(r.status, GetParam().status);
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportFailure,
    ::testing::Values(FailureCase{{}, 2, "missing FILE"},
                      FailureCase{{"a.kml", "--kind", "4"}, 2, "--kind must be 1, 2 or 3"},
                      FailureCase{{"a.kml", "--db"}, 2, "--db needs a folder"},
                      FailureCase{{"/nonexistent/a.kml", "--db", "DB"}, 1, "Unable to open file"},
                      FailureCase{
                          {"/nonexistent/a.kmz", "--db", "DB"}, 1, "not a readable KMZ archive"}));

}  // namespace
}  // namespace orv::cli
