#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/track.h"
#include "test_folder.h"

// Logs of real receivers loaded into a track, as a track file is loaded. The
// logs live beside the repository (they are not the project's to copy); the
// tests skip when they are not there.
namespace orv {
namespace {

std::filesystem::path LogFolder() {
  const char* fromEnvironment = std::getenv("ORV_SOURCE_DIR");
  const std::filesystem::path source =
      fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : ORV_SOURCE_DIR;
  return source / ".." / "shared" / "real-logs";
}

// The log's lines, each with CR LF as the receiver sent it: the logs were
// stored with LF alone. A last line without LF is kept as it is.
std::vector<std::string> ReadLog(const std::filesystem::path& path) {
  const std::string text = test::ReadWholeFile(path);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t newline = text.find('\n', start);
    if (newline == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    std::string line = text.substr(start, newline - start);
    if (line.empty() || line.back() != '\r') line += '\r';
    lines.push_back(line + '\n');
    start = newline + 1;
  }
  return lines;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  line = line.substr(0, line.find('*'));
  std::vector<std::string_view> fields;
  for (size_t comma; (comma = line.find(',')) != std::string_view::npos;) {
    fields.push_back(line.substr(0, comma));
    line.remove_prefix(comma + 1);
  }
  fields.push_back(line);
  return fields;
}

double Number(std::string_view text) {
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// A position as a GGA or RMC line of the log states it, read here by plain
// text splitting rather than by the codec under test.
struct LoggedPosition {
  double latitude;  // ddmm.mmmm
  char northSouth;
  double longitude;  // dddmm.mmmm
  char eastWest;
};

std::vector<LoggedPosition> PositionsOf(const std::vector<std::string>& lines) {
  std::vector<LoggedPosition> positions;
  for (const std::string& line : lines) {
    const std::vector<std::string_view> fields = SplitFields(line);
    const std::string_view address = fields[0];
    int first = 0;
    if (address.ends_with("GGA")) first = 2;
    if (address.ends_with("RMC")) first = 3;
    if (first == 0 || fields.size() < static_cast<size_t>(first + 4)) continue;
    if (fields[first + 1].size() != 1 || fields[first + 3].size() != 1) continue;
    positions.push_back({Number(fields[first]), fields[first + 1][0], Number(fields[first + 2]),
                         fields[first + 3][0]});
  }
  return positions;
}

bool Matches(const LatLong& position, const LoggedPosition& logged) {
  const char northSouth = position.LatitudeHemisphere() == NorthSouth::kNorth ? 'N' : 'S';
  const char eastWest = position.LongitudeHemisphere() == EastWest::kEast ? 'E' : 'W';
  return position.IsValid() && northSouth == logged.northSouth && eastWest == logged.eastWest &&
         position.LatitudeRaw() == logged.latitude && position.LongitudeRaw() == logged.longitude;
}

struct ReceiverLog {
  const char* file;
  bool hasFix;
  // The first point: the position of the log's first fix.
  double latitude;
  double longitude;
};

void PrintTo(const ReceiverLog& log, std::ostream* out) {
  *out << log.file;
}

class RealReceivers : public ::testing::TestWithParam<ReceiverLog> {};

TEST_P(RealReceivers, LoadIntoPointsAtTheLoggedPositions) {
  const ReceiverLog& log = GetParam();
  const std::filesystem::path path = LogFolder() / log.file;
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no receiver log at " << path;

  const std::vector<std::string> lines = ReadLog(path);
  Track track(TrackKind::kRecorded);
  for (const std::string& line : lines) {
    int error = 0;
    track.ProcessSentence(line, error);
    ASSERT_EQ(error, 0);
  }

  if (!log.hasFix) {
    EXPECT_EQ(track.PointCount(), 0) << log.file;
    return;
  }
  ASSERT_GT(track.PointCount(), 0) << log.file;
  const TrackPoint first = track.FirstPoint();
  EXPECT_EQ(first.Position().LatitudeRaw(), log.latitude) << log.file;
  EXPECT_EQ(first.Position().LongitudeRaw(), log.longitude) << log.file;

  const std::vector<LoggedPosition> logged = PositionsOf(lines);
  track.ForEachPoint(0, track.PointCount(), [&](int32_t index, const TrackPoint& point) {
    EXPECT_TRUE(point.Complete()) << log.file << " point " << index;
    EXPECT_FALSE(point.GetFixTime().IsTimeOnly()) << log.file << " point " << index;
    bool found = false;
    for (const LoggedPosition& position : logged)
      found = found || Matches(point.Position(), position);
    EXPECT_TRUE(found) << log.file << " point " << index << " at "
                       << point.Position().LatitudeText() << " " << point.Position().LongitudeText()
                       << " is on no line of the log";
  });
}

INSTANTIATE_TEST_SUITE_P(
    Logs, RealReceivers,
    ::testing::Values(ReceiverLog{"ublox-neo-m9n-nmea.log", true, 3806.62964, 12237.61382},
                      ReceiverLog{"mt3339.log", true, 4404.1306, 12118.8515},
                      ReceiverLog{"bt-q818.log", true, 3401.9764, 11744.8274},
                      ReceiverLog{"nmea-fuzzy-cases.log", true, 4134.49821229, 9345.03351845},
                      ReceiverLog{"tn200.log", false, 0.0, 0.0},
                      ReceiverLog{"garmin-geko201.log", false, 0.0, 0.0}),
    [](const auto& info) {
      std::string name;
      for (const char* c = info.param.file; *c != '.'; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
      }
      return name;
    });

}  // namespace
}  // namespace orv
