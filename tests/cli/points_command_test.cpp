#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "app/navigator.h"
#include "app/track_file_reader.h"
#include "platform/scripted_prompter.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The value of " KEY=" in a text line.
std::string TextValue(const std::string& line, const std::string& key) {
  const size_t at = line.find(" " + key + "=");
  if (at == std::string::npos) return "(missing)";
  const size_t begin = at + key.size() + 2;
  return line.substr(begin, line.find(' ', begin) - begin);
}

TEST(PointsCommand, ListsEveryFieldOfEveryStoredPoint) {
  const TempFile file("trip.txt", Drive(kFourPointTrip));
  const auto r = RunCli({"points", file.path()});
  EXPECT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(0, 2), "0 ");
  EXPECT_EQ(lines[3].substr(0, 2), "3 ");

  struct FieldCase {
    size_t point;
    const char* key;
    const char* value;
  };
  const FieldCase cases[] = {
      {0, "lastWasRmc", "1"},
      {0, "complete", "1"},
      {0, "ggaSeen", "1"},
      {0, "fixTime", "2024-03-23T12:00:00"},
      {0, "longitude", "11.516666666666667"},
      {0, "speedKnots", "10"},
      {0, "magneticVariation", "3.1"},
      {0, "variationDirection", "W"},
      {0, "satellitesInUse", "8"},
      {0, "altitudeMsl", "100"},
      {0, "geoidSeparation", "46.9"},
      {0, "satellitePrns", "4,5,0,9,12,0,0,24,0,0,0,0"},  // empty slots read as 0
      {0, "satellitesInView", "-1"},
      {0, "tripAtPoint", "0"},
      {3, "fixTime", "2024-03-23T12:00:03"},
      {3, "speedKnots", "0"},  // the stop is stored with speed 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " of point " + std::to_string(c.point));
    EXPECT_EQ(TextValue(lines[c.point], c.key), c.value);
  }

  // Numbers are exact: the trip at the last point reads back as the stored double.
  Navigator navigator;
  ScriptedPrompter prompter;
  TrackFileReader reader(navigator, prompter);
  ASSERT_TRUE(reader.LoadNow(file.path()));
  const std::string trip = TextValue(lines[3], "tripAtPoint");
  double value = 0.0;
  std::from_chars(trip.data(), trip.data() + trip.size(), value);
  EXPECT_EQ(value, navigator.Recorded().PointAt(3).TripAtPoint());
  EXPECT_GT(value, 0.0);
}

TEST(PointsCommand, JsonObjectPerPointWithTheRawPosition) {
  const TempFile file("trip.txt", Drive(kFourPointTrip));
  const auto r = RunCli({"points", "--json", file.path()});
  EXPECT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u);
  for (const char* part :
       {"{\"index\":1,\"lastWasRmc\":true,", "\"fixTime\":\"2024-03-23T12:00:01\"",
        "\"latitudeRaw\":4807.01,\"latitudeHemisphere\":\"N\"",
        "\"longitudeRaw\":1131,\"longitudeHemisphere\":\"E\"", "\"altitudeMsl\":300,",
        "\"satellitePrns\":[4,5,0,9,12,0,0,24,0,0,0,0],\"satellitesInView\":-1}"}) {
    EXPECT_NE(lines[1].find(part), std::string::npos) << part << " in\n" << lines[1];
  }
}

}  // namespace
}  // namespace orv::cli
