#include "app/playback_burst_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/track.h"
#include "nmea/line_limits.h"
#include "nmea/nmea_parser.h"
#include "nmea_fixture.h"

namespace orv {
namespace {

std::vector<std::string> Lines(std::string_view burst) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < burst.size()) {
    const size_t end = burst.find('\n', start);
    const size_t next = end == std::string_view::npos ? burst.size() : end + 1;
    lines.emplace_back(burst.substr(start, next - start));
    start = next;
  }
  return lines;
}

std::vector<std::string> Addresses(std::string_view burst) {
  std::vector<std::string> addresses;
  for (const std::string& line : Lines(burst)) addresses.push_back(line.substr(0, line.find(',')));
  return addresses;
}

TEST(PlaybackBurstWriterTest, EveryFifthStepCarriesThreeGsvLines) {
  const std::vector<std::string> plain = {"$GPGGA", "$GPGSA", "$GPRMC", "$GPVTG", "$GPGLL"};
  const std::vector<std::string> withGsv = {"$GPGGA", "$GPGSA", "$GPGSV", "$GPGSV",
                                            "$GPGSV", "$GPRMC", "$GPVTG", "$GPGLL"};
  Track track(TrackKind::kRecorded);
  test::FeedMovingPoints(track, 3);
  PlaybackBurstWriter writer;
  for (int step = 1; step <= 11; ++step) {
    SCOPED_TRACE(step);
    const std::string burst = writer.NextBurst(track);
    EXPECT_EQ(Addresses(burst), step % 5 == 0 ? withGsv : plain);
    for (const std::string& line : Lines(burst)) {
      EXPECT_TRUE(NmeaParser::IsGoodSentence(line, kMaxWriteLineLength)) << line;
      EXPECT_EQ(NmeaSentence(line).IsChecksumBad(), NmeaBoolean::kFalse) << line;
    }
  }
}

TEST(PlaybackBurstWriterTest, BurstIsBuiltFromThePointUnderTheCursor) {
  Track source(TrackKind::kRecorded);
  test::FeedMovingPoints(source, 4);
  source.SetPlayback({kPlaybackPlaying, kPlaybackForward, 1});
  PlaybackBurstWriter writer;
  writer.NextBurst(source);  // cursor 1
  const std::string burst = writer.NextBurst(source);
  ASSERT_EQ(source.Cursor(), 2);

  // Fed back into a track, the burst rebuilds that point.
  Track replayed(TrackKind::kRecording);
  for (const std::string& line : Lines(burst)) test::Feed(replayed, line);
  ASSERT_EQ(replayed.PointCount(), 1);
  const TrackPoint expected = source.PointAt(2);
  const TrackPoint point = replayed.LastPoint();
  EXPECT_EQ(point.GetFixTime(), expected.GetFixTime());
  EXPECT_TRUE(point.Position() == expected.Position());
  EXPECT_DOUBLE_EQ(point.SpeedKnots(), expected.SpeedKnots());
  EXPECT_DOUBLE_EQ(point.AltitudeMsl(), expected.AltitudeMsl());
  EXPECT_EQ(point.SatellitesInUse(), 12);
}

}  // namespace
}  // namespace orv
