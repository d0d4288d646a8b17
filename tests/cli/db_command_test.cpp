#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/number_arg.h"
#include "nav/item_name.h"
#include "test_folder.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// Read in the C format whatever the test's locale.
double Number(const std::string& text) {
  double value = std::nan("");
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class DbCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    dir_ = fs::temp_directory_path() /
           ("orv_db_cli_" + std::to_string(getpid()) + "_" + std::to_string(++serial));
    fs::create_directories(dir_);
    db_ = (dir_ / "NaviStor7.ovr").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // orvelle-cli db ARGS --db <temporary database>, with `input` as the terminal.
  Result Db(Args args, const std::string& input = "") {
    args.insert(args.begin(), "db");
    args.push_back("--db");
    args.push_back(db_);
    return RunCli(args, input);
  }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  fs::path dir_;
  std::string db_;
};

#define EXPECT_DONE(result) EXPECT_EQ((result).status, 0) << (result).err

TEST_F(DbCommandTest, AddListRenameAndDeleteRoundTripThroughTheFile) {
  EXPECT_EQ(Db({"add-waypoint", "ALPHA", "48.1173", "11.5166666667", "--description",
                "harbour, north pier"})
                .out,
            "stored waypoint: ALPHA\n");
  // A typed coordinate is as good as decimal degrees.
  EXPECT_DONE(Db({"add-waypoint", "BRAVO", "N 48\xC2\xB0 08.0000'", "-11.5"}));
  EXPECT_EQ(Db({"add-route", "TRIP", "ALPHA", "BRAVO", "ALPHA"}).out,
            "stored route: TRIP (3 waypoints)\n");

  const std::string file = test::ReadWholeFile(db_);
  EXPECT_NE(file.find(Sentence("POVRWPD,ALPHA,harbour; north pier") +
                      Sentence("GPWPL,4807.0380,N,01131.0000,E,ALPHA")),
            std::string::npos)
      << file;
  EXPECT_NE(file.find(Sentence("GPRTE,1,1,C,TRIP,ALPHA,BRAVO,ALPHA")), std::string::npos);

  EXPECT_EQ(Db({"list", "waypoints"}).out,
            "Waypoint name\tLatitude\tLongitude\tPlace to store waypoints\tDescription\n"
            "ALPHA\tN 48\xC2\xB0"
            "07.0380'\tE 011\xC2\xB0"
            "31.0000'\t" +
                db_ +
                "\tharbour; north pier\n"
                "BRAVO\tN 48\xC2\xB0"
                "08.0000'\tW 011\xC2\xB0"
                "30.0000'\t" +
                db_ + "\t\n");

  EXPECT_DONE(Db({"rename-waypoint", "ALPHA", "ADAM"}));
  EXPECT_DONE(Db({"rename-route", "TRIP", "TOUR"}));
  EXPECT_EQ(Db({"list", "routes", "--json"}).out,
            "{\"routes\":[{\"name\":\"TOUR\",\"type\":\"C\",\"placeToStore\":\"" + db_ +
                "\",\"waypoints\":[\"ADAM\",\"BRAVO\",\"ADAM\"]}]}\n");

  // Deleting a waypoint takes it out of every route, each occurrence.
  EXPECT_DONE(Db({"delete-waypoint", "ADAM", "--yes"}));
  EXPECT_EQ(Db({"list", "routes"}).out,
            "Route name\tPlace to store routes\tWaypoints\nTOUR\t" + db_ + "\t1\n");

  // Yes to the route, yes to its waypoints: both lists end empty.
  const Result deleted = Db({"delete-route", "TOUR", "--yes"});
  EXPECT_EQ(deleted.out, "deleted route: TOUR\ndeleted waypoints: 1\n");
  EXPECT_NE(deleted.err.find("Are you sure you want to delete the 'TOUR' route from system?"),
            std::string::npos);
  EXPECT_EQ(Db({"list", "waypoints"}).out, "There are not Waypoints\n");
  EXPECT_EQ(Db({"list", "routes"}).out, "There are not Routes\n");
  EXPECT_EQ(Db({"list", "waypoints", "--json"}).out, "{\"waypoints\":[]}\n");
  // Every save kept the previous database beside it.
  EXPECT_TRUE(fs::exists(dir_ / "NaviStor7.ov~"));
}

TEST_F(DbCommandTest, QuestionsAreAnsweredFromTheTerminalOrTheFlags) {
  struct Case {
    const char* legend;
    std::vector<std::string> flags;
    std::string input;
    int status;
    std::string listed;  // names and latitudes after the command
  };
  const Case cases[] = {
      {"--yes replaces", {"--yes"}, "", 0, "ALPHA 10"},
      {"--no keeps the stored one", {"--no"}, "", 1, "ALPHA 1"},
      {"typed no, then yes stores under a new name", {}, "n\nyes\n", 0, "ALPHA 1,WPL_0000 10"},
      {"end of input takes the default No twice", {}, "", 1, "ALPHA 1"},
      {"an unclear answer is asked again", {}, "maybe\nY\n", 0, "ALPHA 10"},
      {"an empty line takes the default", {}, "\n\n", 1, "ALPHA 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    fs::remove(db_);
    ASSERT_EQ(Db({"add-waypoint", "ALPHA", "1", "2"}).status, 0);
    Args args = {"add-waypoint", "ALPHA", "10", "2"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    const Result added = Db(args, c.input);
    EXPECT_EQ(added.status, c.status) << added.err;
    EXPECT_NE(added.err.find("A waypoint whit the same name 'ALPHA' exists already!"),
              std::string::npos);

    const Result json = Db({"list", "waypoints", "--json"});
    std::string listed;
    for (const std::string& line : Lines(json.out)) {
      // Names and whole latitudes from the JSON list, in order.
      for (size_t at = line.find("\"name\":\""); at != std::string::npos;
           at = line.find("\"name\":\"", at + 1)) {
        const size_t nameEnd = line.find('"', at + 8);
        const size_t latitude = line.find("\"latitude\":", nameEnd) + 11;
        if (!listed.empty()) listed += ',';
        listed += line.substr(at + 8, nameEnd - at - 8) + " " +
                  line.substr(latitude, line.find_first_of(",.", latitude) - latitude);
      }
    }
    EXPECT_EQ(listed, c.listed);
  }

  // A deletion declined at the terminal keeps the waypoint.
  EXPECT_EQ(Db({"delete-waypoint", "ALPHA"}, "no\n").status, 1);
  EXPECT_NE(Db({"list", "waypoints", "--json"}).out.find("ALPHA"), std::string::npos);
  EXPECT_EQ(Db({"delete-waypoint", "ALPHA"}, "yes\n").status, 0);
}

TEST_F(DbCommandTest, UnreadableNamesAndBadArgumentsAreRefused) {
  ASSERT_EQ(Db({"add-waypoint", "ALPHA", "1", "2"}).status, 0);
  ASSERT_EQ(Db({"add-route", "R", "ALPHA"}).status, 0);
  const std::string separator(kSeparatorInNameText);
  struct Case {
    const char* legend;
    Args args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"comma in a waypoint name", {"add-waypoint", "A,B", "1", "2"}, 2, separator},
      {"star in a route name", {"add-route", "R*1"}, 2, separator},
      {"comma in a new waypoint name", {"rename-waypoint", "ALPHA", "X,Y"}, 2, separator},
      {"star in a new route name", {"rename-route", "R", "*"}, 2, separator},
      {"latitude beyond the pole", {"add-waypoint", "P", "90.5", "0"}, 2, "not a latitude"},
      {"longitude not a number", {"add-waypoint", "P", "1", "east"}, 2, "not a longitude"},
      {"missing coordinates", {"add-waypoint", "P"}, 2, "expects NAME LAT LON"},
      {"unknown option", {"list", "waypoints", "--all"}, 2, "unknown option '--all'"},
      {"option without value",
       {"add-waypoint", "P", "1", "2", "--description"},
       2,
       "--description needs a value"},
      {"yes and no together", {"delete-waypoint", "ALPHA", "--yes", "--no"}, 2, "exclude"},
      {"list of what", {"list", "tracks"}, 2, "expects 'waypoints' or 'routes'"},
      {"bad units", {"route", "R", "--units", "4"}, 2, "--units must be 1, 2 or 3"},
      {"unknown subcommand", {"purge"}, 2, "unknown subcommand 'purge'"},
      {"route not there", {"route", "NOPE"}, 1, "no route 'NOPE'"},
      {"waypoint not there", {"delete-waypoint", "NOPE", "--yes"}, 1, "no waypoint 'NOPE'"},
      {"route of unknown waypoints", {"add-route", "S", "ALPHA", "NOPE"}, 1, "no waypoint 'NOPE'"},
      {"unreadable import",
       {"import-nmea", (dir_ / "missing.txt").string()},
       1,
       "file open failed"},
      {"nearest count zero", {"nearest", "1", "2", "0"}, 2, "N must be a count"},
      {"nearest course 360",
       {"nearest", "1", "2", "--speed", "3", "--course", "360"},
       2,
       "--course"},
      {"guide without a target",
       {"guide", "--at", "1", "2", "--speed", "1", "--course", "0"},
       2,
       "either --waypoint NAME or --route NAME"},
      {"guide at half a position",
       {"guide", "--waypoint", "ALPHA", "--at", "1"},
       2,
       "--at needs 2 values"},
      {"guide with an impossible date",
       {"guide", "--waypoint", "ALPHA", "--at", "1", "2", "--speed", "1", "--course", "0", "--now",
        "2026-02-30T10:00:00"},
       2,
       "--now must be"},
      {"guide past the route's end",
       {"guide", "--route", "R", "--index", "1", "--at", "1", "2", "--speed", "1", "--course", "0"},
       1,
       "has 1 entries"},
      {"average of a lone number", {"average", "12"}, 2, "not a position"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    const Result result = Db(c.args);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  // Nothing of that changed the database.
  EXPECT_EQ(Lines(Db({"list", "waypoints"}).out).size(), 2u);
  EXPECT_EQ(Lines(Db({"list", "routes"}).out).size(), 2u);
}

TEST_F(DbCommandTest, ImportNmeaTakesWaypointsAndRoutesWithTheFileAsSource) {
  const testing::Epoch epochs[] = {{"10.0", "500"}, {"10.0", "501"}};
  const std::string path = WriteFile(
      "trip.txt", testing::Drive(epochs) + Sentence("POVRWPD,HOME,blue door") +
                      Sentence("GPWPL,4807.0380,N,01131.0000,E,HOME") +
                      Sentence("GPWPL,4808.0000,N,01132.0000,E,PEAK") +
                      Sentence("GPRTE,2,1,C,WALK,HOME") + Sentence("GPRTE,2,2,C,WALK,PEAK,HOME") +
                      Sentence("GPWPL,4809.0000,N,01133.0000,E,BROKEN*") + "not a sentence\r\n");
  const Result imported = Db({"import-nmea", path});
  EXPECT_DONE(imported);
  EXPECT_EQ(imported.out,
            "waypoint: HOME\nwaypoint: PEAK\nroute: WALK\n"
            "waypoints: 2\nroutes: 1\nimport state: 3\n");

  EXPECT_EQ(Db({"list", "waypoints"}).out,
            "Waypoint name\tLatitude\tLongitude\tPlace to store waypoints\tDescription\n"
            "HOME\tN 48\xC2\xB0"
            "07.0380'\tE 011\xC2\xB0"
            "31.0000'\t" +
                db_ +
                "\tblue door\n"
                "PEAK\tN 48\xC2\xB0"
                "08.0000'\tE 011\xC2\xB0"
                "32.0000'\t" +
                db_ + "\t\n");
  EXPECT_EQ(Db({"list", "routes", "--json"}).out,
            "{\"routes\":[{\"name\":\"WALK\",\"type\":\"C\",\"placeToStore\":\"" + db_ +
                "\",\"waypoints\":[\"HOME\",\"PEAK\",\"HOME\"]}]}\n");

  // The same file again: the waypoints give way to the file's (same names, same places)
  // without a question, the identical route stays as it is; the count starts afresh.
  const Result again = Db({"import-nmea", path});
  EXPECT_EQ(again.out,
            "waypoint: HOME\nwaypoint: PEAK\nwaypoints: 2\nroutes: 1\nimport state: 3\n");
  EXPECT_EQ(again.err, "");
}

TEST_F(DbCommandTest, SaveRouteWritesItsWaypointsThenItsSentences) {
  ASSERT_EQ(Db({"add-waypoint", "HOME", "48.1173", "11.5166666667"}).status, 0);
  ASSERT_EQ(Db({"add-waypoint", "PEAK", "-48.1333333333", "-11.5333333333"}).status, 0);
  ASSERT_EQ(Db({"add-route", "WALK", "HOME", "PEAK", "GONE", "HOME"}).status, 1);
  ASSERT_EQ(Db({"add-route", "WALK", "HOME", "PEAK", "HOME"}).status, 0);
  const std::string out = (dir_ / "walk.txt").string();
  const Result saved = Db({"save-route", "WALK", out});
  EXPECT_DONE(saved);
  EXPECT_EQ(saved.out, "The file '" + out +
                           "' was successfully saved. Please! Use the File Explorer to copy or "
                           "move the file.\n");

  const std::vector<std::string> lines = Lines(test::ReadWholeFile(out));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_TRUE(lines[0].starts_with("$POVRPVD,Orvelle Recorder 7 Beta,v7.9.85*"));
  EXPECT_TRUE(lines[1].starts_with("$POVRCRT,"));
  const std::vector<std::string> rest(lines.begin() + 2, lines.end());
  const std::string expected[] = {
      "POVRWRG,WARNING!,Please!,Do NOT change or delete this file!",
      "POVRWRG,WARNING!,The file contains the waypoints-",
      "POVRWRG,WARNING!,-of a route",
      "POVRWPD,HOME,",
      "GPWPL,4807.0380,N,01131.0000,E,HOME",
      "POVRWPD,PEAK,",
      "GPWPL,4808.0000,S,01132.0000,W,PEAK",
      "POVRWPD,HOME,",
      "GPWPL,4807.0380,N,01131.0000,E,HOME",
      "GPRTE,1,1,C,WALK,HOME,PEAK,HOME",
  };
  ASSERT_EQ(rest.size(), std::size(expected));
  for (size_t i = 0; i < rest.size(); ++i) {
    EXPECT_EQ(rest[i] + "\r\n", Sentence(expected[i])) << i;
  }
  EXPECT_EQ(Db({"save-route", "NOPE", out}).status, 1);
}

TEST_F(DbCommandTest, NearestListsNearestFirstWithAheadAndBehind) {
  // Around 48 N 11 E: north 0.02 deg, south 0.01 deg, east 0.05 deg, and one on the spot.
  for (const Args& add :
       {Args{"add-waypoint", "NORTH", "48.02", "11"}, Args{"add-waypoint", "SOUTH", "47.99", "11"},
        Args{"add-waypoint", "EAST", "48", "11.05"}, Args{"add-waypoint", "HERE", "48", "11"}}) {
    ASSERT_EQ(Db(add).status, 0);
  }
  ASSERT_EQ(Db({"add-route", "LINE", "EAST", "NORTH"}).status, 0);

  const std::vector<std::string> moving =
      Lines(Db({"nearest", "48", "11", "--speed", "5", "--course", "10", "--units", "1"}).out);
  ASSERT_EQ(moving.size(), 6u);
  EXPECT_EQ(moving[0], "10 Nearest Waypoints");
  EXPECT_EQ(moving[1], "Waypoint name\tDST\tBRG");
  EXPECT_EQ(moving[2], "HERE\t0.000\tUnknown");
  EXPECT_TRUE(moving[3].starts_with("SOUTH\t1.11")) << moving[3];
  EXPECT_TRUE(moving[3].ends_with("\tBehind - 180.0\xC2\xB0")) << moving[3];
  EXPECT_TRUE(moving[4].starts_with("NORTH\t2.22")) << moving[4];
  EXPECT_TRUE(moving[4].ends_with("\tAhead - 0.0\xC2\xB0")) << moving[4];
  EXPECT_TRUE(moving[5].starts_with("EAST\t3.7")) << moving[5];
  EXPECT_TRUE(moving[5].ends_with("\t90.0\xC2\xB0") || moving[5].ends_with("\t89.9\xC2\xB0"))
      << moving[5];

  // Standing still: no marks. A count of 2 lists two rows.
  const std::vector<std::string> still = Lines(Db({"nearest", "48", "11", "2"}).out);
  ASSERT_EQ(still.size(), 4u);
  EXPECT_EQ(still[0], "2 Nearest Waypoints");
  EXPECT_TRUE(still[3].starts_with("SOUTH\t0.60")) << still[3];  // nautical miles
  EXPECT_TRUE(still[3].ends_with("\t180.0\xC2\xB0")) << still[3];

  // Route mode takes only the route's waypoints.
  const std::vector<std::string> route = Lines(Db({"nearest", "48", "11", "--route", "LINE"}).out);
  ASSERT_EQ(route.size(), 5u);
  EXPECT_EQ(route[1], "of 'LINE' route");
  EXPECT_TRUE(route[3].starts_with("NORTH\t")) << route[3];
  EXPECT_TRUE(route[4].starts_with("EAST\t")) << route[4];

  // "all" asks first; No cancels.
  EXPECT_EQ(Db({"nearest", "48", "11", "all", "--no"}).status, 1);
  const std::vector<std::string> all = Lines(Db({"nearest", "48", "11", "all", "--yes"}).out);
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[0], "Nearest Waypoints");

  fs::remove(db_);
  EXPECT_EQ(Db({"nearest", "48", "11"}).out,
            "10 Nearest Waypoints\nEither there isn't current position or not Waypoints\n");
}

// Guidance reads the local clock; the expectations are in UTC.
class DbGuideTest : public DbCommandTest {
 protected:
  void SetUp() override {
    DbCommandTest::SetUp();
    const char* tz = std::getenv("TZ");
    savedTz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
    setenv("TZ", "UTC", 1);
    tzset();
    // One degree of latitude apart along the meridian of Greenwich.
    for (const Args& add : {Args{"add-waypoint", "ONE", "1", "0", "--description", "first"},
                            Args{"add-waypoint", "TWO", "2", "0"}}) {
      ASSERT_EQ(Db(add).status, 0);
    }
    ASSERT_EQ(Db({"add-route", "NORTH", "ONE", "TWO"}).status, 0);
  }
  void TearDown() override {
    if (savedTz_) {
      setenv("TZ", savedTz_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
    DbCommandTest::TearDown();
  }
  std::optional<std::string> savedTz_;
};

TEST_F(DbGuideTest, GuidanceTextsForAWaypointAndAlongARoute) {
  struct Case {
    const char* legend;
    Args args;
    std::string out;
  };
  const Case cases[] = {
      {"heading for a waypoint 59.7 NM north at 10 knots",
       {"guide", "--waypoint", "ONE", "--at", "0", "0", "--speed", "10", "--course", "0", "--now",
        "2026-12-10T20:00:00"},
       "BRG: 0.0\xC2\xB0\nDST: 59.7 nmi\nETE: 0, 05:58\nETA: tomrw at 01:58\nERD: 59.7 nmi\n"},
      {"the same in kilometres, arriving today",
       {"guide", "--waypoint", "ONE", "--at", "0", "0", "--speed", "10", "--course", "0", "--now",
        "2026-12-10T08:00:00", "--units", "1"},
       "BRG: 0.0\xC2\xB0\nDST: 110.6 km\nETE: 0, 05:58\nETA: 13:58\nERD: 110.6 km\n"},
      {"heading away",
       {"guide", "--waypoint", "ONE", "--at", "0", "0", "--speed", "10", "--course", "180", "--now",
        "2026-12-10T20:00:00"},
       "BRG: 0.0\xC2\xB0\nDST: 59.7 nmi\nETE: eternity\nETA: remote future\nERD: 59.7 nmi\n"},
      {"on the spot",
       {"guide", "--waypoint", "ONE", "--at", "1", "0", "--speed", "0", "--course", "0", "--now",
        "2026-12-10T20:00:00"},
       "BRG: Unknown\nDST: 0 ft\nETE: aim achieved\nETA: aim achieved\nERD: aim achieved\n"},
      {"along the route: the rest of it counts",
       {"guide", "--route", "NORTH", "--at", "0", "0", "--speed", "10", "--course", "0", "--now",
        "2026-12-10T20:00:00"},
       "BRG: 0.0\xC2\xB0\nDST: 59.7 nmi\nETE: 0, 11:56\nETA: tomrw at 07:56\nERD: 119.4 nmi\n"
       "arrived: no\nnext index: 0\nONE\t59.7 nmi\tfirst\nTWO\t119.4 nmi\t\n"},
      {"at the first route waypoint: arrived, on to the next",
       {"guide", "--route", "NORTH", "--index", "0", "--at", "1", "0", "--speed", "5", "--course",
        "0", "--kind", "1", "--now", "2026-12-10T20:00:00"},
       "BRG: Unknown\nDST: 0 ft\nETE: 0, 11:56\nETA: tomrw at 07:56\nERD: 59.7 nmi\n"
       "arrived: yes\nnext index: 1\nONE\t0 ft\tfirst\nTWO\t59.7 nmi\t\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    const Result result = Db(c.args);
    EXPECT_DONE(result);
    EXPECT_EQ(result.out, c.out);
  }
}

TEST_F(DbCommandTest, AverageReducesSamplesByPairwiseMidpoints) {
  // The "average: LAT LON" line read back as numbers.
  const auto averageOf = [this](const Args& args, const std::string& samples) {
    const Result result = Db(args);
    EXPECT_DONE(result);
    const std::vector<std::string> lines = Lines(result.out);
    EXPECT_EQ(lines.size(), 2u);
    if (lines.size() != 2u || !lines[1].starts_with("average: ")) return std::pair{0.0, 0.0};
    EXPECT_EQ(lines[0], samples);
    const std::string numbers = lines[1].substr(9);
    const size_t blank = numbers.find(' ');
    return std::pair{Number(numbers.substr(0, blank)), Number(numbers.substr(blank + 1))};
  };
  EXPECT_EQ(averageOf({"average", "48.5,11.25"}, "samples: 1 of 1"), std::pair(48.5, 11.25));
  EXPECT_EQ(averageOf({"average",
                       "S 1\xC2\xB0"
                       "30',W 2\xC2\xB0"
                       "15'",
                       "-1.5,-2.25"},
                      "samples: 1 of 2"),
            std::pair(-1.5, -2.25));

  // About 111 m apart on the equator: every sample counts.
  const auto pair = averageOf({"average", "0,0", "0,0.001"}, "samples: 2 of 2");
  EXPECT_NEAR(pair.first, 0.0, 1e-9);
  EXPECT_NEAR(pair.second, 0.0005, 1e-6);
  // An unpaired last sample is left out.
  EXPECT_EQ(averageOf({"average", "0,0", "0,0.001", "5,5"}, "samples: 3 of 3"), pair);
  // Four samples: the midpoint of the two midpoints.
  const auto second = averageOf({"average", "0,0.002", "0,0.003"}, "samples: 2 of 2");
  const auto ofMidpoints =
      averageOf({"average", "0," + FormatFixed10(pair.second), "0," + FormatFixed10(second.second)},
                "samples: 2 of 2");
  const auto four =
      averageOf({"average", "0,0", "0,0.001", "0,0.002", "0,0.003"}, "samples: 4 of 4");
  EXPECT_NEAR(four.first, ofMidpoints.first, 1e-9);
  EXPECT_NEAR(four.second, ofMidpoints.second, 1e-9);
  EXPECT_NEAR(four.second, 0.0015, 1e-5);
}

}  // namespace
}  // namespace orv::cli
