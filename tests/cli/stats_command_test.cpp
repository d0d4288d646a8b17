#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "app/navigator.h"
#include "app/track_file_reader.h"
#include "platform/scripted_prompter.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

TEST(StatsCommand, PrintsEveryValueAsTheDrivingViewsShowIt) {
  const TempFile file("trip.txt", Drive(kFourPointTrip));
  const auto r = RunCli({"stats", file.path()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "file: " + file.path() +
                       "\n"
                       "points: 4\n"
                       "first fix: 2024-03-23T12:00:00\n"
                       "last fix: 2024-03-23T12:00:03\n"
                       "TRIP: 0.030 nmi\n"
                       "MXSPD: 30.0 kn\n"
                       "AVSPD: 15.0 kn\n"  // the stop counts: (10 + 30 + 20 + 0) / 4
                       "ALT(max): 984.3 ft\n"
                       "ALT(min): 164.0 ft\n"
                       "ELPSD: 0, 00:00:03\n"
                       "TTIME: 0, 00:00:02\n"  // the first point has no complete predecessor
                       "STIME: 0, 00:00:01\n"
                       "TRIPfB: 0.000 nmi\n"
                       "TRIPtE: 0.030 nmi\n"
                       "TIMEfB: 0, 00:00:00\n"
                       "TIMEtE: 0, 00:00:03\n"
                       "box: latitude 48.116667 to 48.117167, longitude 11.516667 to 11.516667\n"
                       "max speed point: 1\n"
                       "max altitude point: 1\n"
                       "min altitude point: 2\n");
}

// The number after "KEY": in a JSON text.
double JsonNumber(const std::string& json, const std::string& key) {
  const size_t at = json.find("\"" + key + "\":");
  EXPECT_NE(at, std::string::npos) << key;
  if (at == std::string::npos) return 0.0;
  const char* begin = json.data() + at + key.size() + 3;
  double value = 0.0;
  std::from_chars(begin, json.data() + json.size(), value);
  return value;
}

TEST(StatsCommand, JsonGivesTextsInTheChosenUnitsAndExactRawValues) {
  const TempFile file("trip.txt", Drive(kFourPointTrip));
  struct UnitsCase {
    const char* units;
    const char* texts;
  };
  const UnitsCase cases[] = {
      {"1",
       "\"TRIP\":\"0.056 km\",\"MXSPD\":\"55.6 km/h\",\"AVSPD\":\"27.8 km/h\","
       "\"ALT(max)\":\"300.0 m\",\"ALT(min)\":\"50.0 m\""},
      {"2",
       "\"TRIP\":\"0.035 mi\",\"MXSPD\":\"34.5 mph\",\"AVSPD\":\"17.3 mph\","
       "\"ALT(max)\":\"984.3 ft\",\"ALT(min)\":\"164.0 ft\""},
      {"3",
       "\"TRIP\":\"0.030 nmi\",\"MXSPD\":\"30.0 kn\",\"AVSPD\":\"15.0 kn\","
       "\"ALT(max)\":\"984.3 ft\",\"ALT(min)\":\"164.0 ft\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units);
    const auto r = RunCli({"stats", "--units", c.units, "--json", file.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(c.texts), std::string::npos) << r.out;
  }

  // Raw values read back as the very doubles the track holds.
  Navigator navigator;
  ScriptedPrompter prompter;
  TrackFileReader reader(navigator, prompter);
  ASSERT_TRUE(reader.LoadNow(file.path()));
  const TripStatistics statistics = navigator.Recorded().Statistics();
  const auto json = RunCli({"stats", "--json", file.path()}).out;
  EXPECT_EQ(JsonNumber(json, "trip"), statistics.Trip());
  EXPECT_EQ(JsonNumber(json, "minLatitude"), statistics.Box().minLatitude);
  EXPECT_EQ(JsonNumber(json, "maxLatitude"), statistics.Box().maxLatitude);
  EXPECT_EQ(JsonNumber(json, "minLongitude"), statistics.Box().minLongitude);
  EXPECT_EQ(JsonNumber(json, "averageSpeed"), 15.0);
  EXPECT_EQ(JsonNumber(json, "movingSeconds"), 2.0);
  EXPECT_EQ(JsonNumber(json, "minAltitudeIndex"), 2.0);
}

TEST(StatsCommand, EmptyTrackShowsUnknownsAndNoBox) {
  const TempFile file("empty.txt", "no sentences here\n");
  const auto r = RunCli({"stats", file.path()});
  EXPECT_EQ(r.status, 0);
  for (const char* line : {"points: 0\n", "first fix: none\n", "ALT(max): Unknown\n",
                           "ALT(min): Unknown\n", "box: none\n", "max speed point: -1\n"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line << " in\n" << r.out;
  }
}

// The three track commands share their handling of files and arguments.
TEST(TrackCommands, RefuseBadArgumentsAndReportUnopenableFiles) {
  const TempFile file("trip.txt", Drive(kFourPointTrip));
  const std::string missing = file.path() + ".missing";
  struct ErrorCase {
    const char* legend;
    Args args;
    int status;
    std::string err_contains;
  };
  const ErrorCase cases[] = {
      {"stats without file", {"stats"}, 2, "missing FILE"},
      {"stats units out of range", {"stats", "--units", "4", file.path()}, 2, "--units must be"},
      {"stats units without value", {"stats", file.path(), "--units"}, 2, "needs a value"},
      {"stats two files", {"stats", file.path(), file.path()}, 2, "only one FILE"},
      {"points unknown option", {"points", "--yaml", file.path()}, 2, "unknown option '--yaml'"},
      {"play zoom not in the list", {"play", file.path(), "--zoom", "4"}, 2, "--zoom must be"},
      {"play zoom not a number", {"play", file.path(), "--zoom", "x3"}, 2, "--zoom must be"},
      {"play zero steps", {"play", file.path(), "--steps", "0"}, 2, "--steps must be"},
      {"stats missing file", {"stats", missing}, 1, missing + " file open failed"},
      {"points missing file", {"points", missing}, 1, missing + " file open failed"},
      {"play missing file", {"play", missing}, 1, missing + " file open failed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const auto r = RunCli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.err_contains), std::string::npos) << r.err;
    if (c.status == 1) {
      EXPECT_EQ(r.out, "");
    }
  }
}

// Files that are not clean track files load without crash or hang.
TEST(TrackCommands, LoadGarbledAndBinaryFiles) {
  std::string garbled = Drive(kFourPointTrip);
  garbled.insert(300, std::string("\0\xff\x80$GP", 6));  // garbage inside a sentence
  garbled.insert(100, "\n");                             // a sentence cut in two
  garbled.replace(garbled.find("*"), 3, "*00");          // a bad checksum
  garbled += std::string(100000, '\x01');                // a long run without LF
  const TempFile file("garbled.txt", garbled);
  const auto r = RunCli({"stats", file.path()});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("points: "), std::string::npos);

  const auto binary = RunCli({"points", "/bin/ls"});
  EXPECT_EQ(binary.status, 0);
  EXPECT_EQ(binary.out, "");
}

}  // namespace
}  // namespace orv::cli
