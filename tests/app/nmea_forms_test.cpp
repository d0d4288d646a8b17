#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/display_fields.h"
#include "app/track.h"
#include "nmea/line_limits.h"
#include "nmea_fixture.h"

// One drive as two generations of receivers report it: the NMEA 2.3 sentences
// of a GPS-only receiver, and the NMEA 4.11 sentences of a multi-system one
// (GN talkers, RMC with navigational status, one GSA per system with its
// system id, GSV with signal ids and sixteen satellites in four sentences,
// coordinates with eight decimals and lines beyond 82 characters).
namespace orv {
namespace {

using test::NmeaLine;

enum class Form { kNmea23, kNmea411 };

// Coordinates in units of 1/10000 minute, so both forms write the same values.
std::string Coordinate(long units, int degreeDigits, Form form) {
  const long minutesTimes10000 = units % 10000;
  std::string whole = std::to_string(units / 10000);
  whole.insert(0, static_cast<size_t>(degreeDigits + 2) - whole.size(), '0');
  std::string fraction = std::to_string(minutesTimes10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  return whole + "." + fraction + (form == Form::kNmea411 ? "0000" : "");
}

struct Second {
  int time;             // second of the day
  long latitudeUnits;   // 1/10000 minute, north
  long longitudeUnits;  // 1/10000 minute, east
  std::string knots;    // as 2.3 writes it; 4.11 adds a decimal
  std::string course;
  std::string altitude;
};

// Forty seconds: moving north-east, a stop of ten seconds, moving on.
std::vector<Second> DriveProfile() {
  std::vector<Second> seconds;
  long latitude = 48070380;   // 4807.0380
  long longitude = 11310000;  // 01131.0000
  for (int i = 0; i < 40; ++i) {
    const bool stopped = i >= 15 && i < 25;
    if (i > 0 && !stopped) {
      latitude += 108 + 4 * (i % 5);  // about 20 m a second
      longitude += 150;
    }
    seconds.push_back({12 * 3600 + i, latitude, longitude, stopped ? "0.00" : "38.88",
                       stopped ? "" : "45.10", test::Fixed(500.0 + 1.5 * i, 1)});
  }
  return seconds;
}

std::vector<std::string> GsvLines(Form form) {
  std::vector<std::string> lines;
  if (form == Form::kNmea23) {
    for (int number = 1; number <= 3; ++number) {
      std::string body = "GPGSV,3," + std::to_string(number) + ",12";
      for (int k = 0; k < 4; ++k) {
        body += "," + std::to_string((number - 1) * 4 + k + 1) + ",45,120,40";
      }
      lines.push_back(NmeaLine(body));
    }
    return lines;
  }
  // Sixteen GPS satellites, the last without a signal strength, signal id 1.
  for (int number = 1; number <= 4; ++number) {
    std::string body = "GPGSV,4," + std::to_string(number) + ",16";
    for (int k = 0; k < 4; ++k) {
      const int prn = (number - 1) * 4 + k + 1;
      body += "," + std::to_string(prn) + ",45,120," + (prn == 16 ? "" : "40");
    }
    lines.push_back(NmeaLine(body + ",1"));
  }
  return lines;
}

std::vector<std::string> DriveSentences(Form form) {
  const bool modern = form == Form::kNmea411;
  const std::string talker = modern ? "GN" : "GP";
  const std::string fraction = modern ? ".00" : "";
  std::vector<std::string> lines;
  for (const Second& s : DriveProfile()) {
    const std::string time = test::TimeOfDay(s.time) + fraction;
    const std::string position =
        Coordinate(s.latitudeUnits, 2, form) + ",N," + Coordinate(s.longitudeUnits, 3, form) + ",E";
    const std::string knots = modern ? s.knots + "0" : s.knots;
    lines.push_back(NmeaLine(talker + "GGA," + time + "," + position + ",1,10,0.9," + s.altitude +
                             ",M,46.9,M," + (modern ? "1.0,0133" : ",")));
    if (modern) {
      lines.push_back(NmeaLine("GNGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.6,0.9,1.3,1"));
      lines.push_back(NmeaLine("GNGSA,A,3,65,66,,,,,,,,,,,1.6,0.9,1.3,2"));
    } else {
      lines.push_back(NmeaLine("GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.6,0.9,1.3"));
    }
    for (const std::string& gsv : GsvLines(form)) lines.push_back(gsv);
    lines.push_back(NmeaLine(talker + "RMC," + time + ",A," + position + "," + knots + "," +
                             s.course + ",150310,2.5,E,A" + (modern ? ",V" : "")));
    lines.push_back(NmeaLine(talker + "VTG," + s.course + ",T,,M," + knots + ",N,,K,A"));
  }
  return lines;
}

void Load(Track& track, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) test::Feed(track, line);
}

TEST(NmeaForms, TheFixturesAreWhatTheyClaim) {
  size_t longest23 = 0;
  size_t longest411 = 0;
  for (const std::string& line : DriveSentences(Form::kNmea23)) {
    longest23 = std::max(longest23, line.size());
  }
  for (const std::string& line : DriveSentences(Form::kNmea411)) {
    longest411 = std::max(longest411, line.size());
  }
  EXPECT_LE(longest23, kMaxWriteLineLength);
  EXPECT_GT(longest411, kMaxWriteLineLength);
  EXPECT_LE(longest411, kMaxReadLineLength);
}

TEST(NmeaForms, BothGenerationsGiveTheSamePointsAndStatistics) {
  Track old(TrackKind::kRecorded);
  Track modern(TrackKind::kRecorded);
  Load(old, DriveSentences(Form::kNmea23));
  Load(modern, DriveSentences(Form::kNmea411));

  // The stop keeps one point; the rest are stored.
  ASSERT_GT(old.PointCount(), 20);
  ASSERT_EQ(modern.PointCount(), old.PointCount());
  for (int32_t i = 0; i < old.PointCount(); ++i) {
    SCOPED_TRACE(i);
    const TrackPoint a = old.PointAt(i);
    const TrackPoint b = modern.PointAt(i);
    EXPECT_EQ(b.GetFixTime(), a.GetFixTime());
    EXPECT_DOUBLE_EQ(b.Position().LatitudeRaw(), a.Position().LatitudeRaw());
    EXPECT_DOUBLE_EQ(b.Position().LongitudeRaw(), a.Position().LongitudeRaw());
    EXPECT_EQ(b.Position().LatitudeHemisphere(), NorthSouth::kNorth);
    EXPECT_EQ(b.Position().LongitudeHemisphere(), EastWest::kEast);
    EXPECT_DOUBLE_EQ(b.SpeedKnots(), a.SpeedKnots());
    EXPECT_DOUBLE_EQ(b.CourseDegrees(), a.CourseDegrees());
    EXPECT_DOUBLE_EQ(b.AltitudeMsl(), a.AltitudeMsl());
    EXPECT_DOUBLE_EQ(b.GeoidSeparation(), a.GeoidSeparation());
    EXPECT_DOUBLE_EQ(b.TripAtPoint(), a.TripAtPoint());
    EXPECT_EQ(b.SatellitesInUse(), a.SatellitesInUse());
    // Sixteen in view show as the twelve that the 2.3 receiver reports.
    EXPECT_EQ(b.SatellitesInView(), 12);
    EXPECT_EQ(a.SatellitesInView(), 12);
    // The PRN list is not compared: it is the last GSA's, and the 4.11
    // receiver sends one GSA per system.
  }

  const TripSummary a = old.Summary();
  const TripSummary b = modern.Summary();
  EXPECT_GT(a.trip, 0.3);
  EXPECT_DOUBLE_EQ(b.trip, a.trip);
  EXPECT_DOUBLE_EQ(b.maxSpeed, a.maxSpeed);
  EXPECT_DOUBLE_EQ(b.averageSpeed, a.averageSpeed);
  EXPECT_DOUBLE_EQ(b.maxAltitude, a.maxAltitude);
  EXPECT_DOUBLE_EQ(b.minAltitude, a.minAltitude);
  EXPECT_EQ(b.elapsedSeconds, a.elapsedSeconds);
  EXPECT_EQ(b.movingSeconds, a.movingSeconds);
  EXPECT_EQ(b.stoppedSeconds, a.stoppedSeconds);
  const BoundingBox boxA = old.Box();
  const BoundingBox boxB = modern.Box();
  EXPECT_DOUBLE_EQ(boxB.minLatitude, boxA.minLatitude);
  EXPECT_DOUBLE_EQ(boxB.maxLatitude, boxA.maxLatitude);
  EXPECT_DOUBLE_EQ(boxB.minLongitude, boxA.minLongitude);
  EXPECT_DOUBLE_EQ(boxB.maxLongitude, boxA.maxLongitude);
}

TEST(NmeaForms, ASearchingReceiverShowsNoSatellitesInView) {
  Track track(TrackKind::kRecording);
  Load(track, {NmeaLine("GNRMC,120000.00,V,,,,,,,150310,,,N,V"),
               NmeaLine("GNGGA,120000.00,,,,,0,00,99.99,,,,,,"),
               NmeaLine("GNGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99,1"), NmeaLine("GPGSV,1,1,00,1")});
  EXPECT_EQ(track.PointCount(), 0);
  EXPECT_EQ(track.RememberedSatellitesInView(), 0);
  const TrackPoint::PrnList prns = track.RememberedPrns();
  EXPECT_EQ(
      SatellitesText(track.RememberedSatellitesInView(), track.RememberedSatellitesInUse(), prns),
      "(0)(Searching)");
}

// A receiver that claims a fix before it has a position: the sentences are
// taken for what they hold, but the epoch gets no position and no point.
TEST(NmeaForms, AFixWithoutPositionStoresNoPoint) {
  const auto positionless = [](int second) {
    const std::string time = test::TimeOfDay(12 * 3600 + second);
    return std::vector<std::string>{NmeaLine("GPGGA," + time + ",,,,,1,05,1.2,,,,,,"),
                                    NmeaLine("GPRMC," + time + ",A,,,,,0.0,,150310,,,A")};
  };
  Track track(TrackKind::kRecording);
  Load(track, positionless(0));
  EXPECT_EQ(track.PointCount(), 0);
  EXPECT_EQ(track.RememberedSatellitesInUse(), 5);

  test::Fix fix;
  fix.second = 12 * 3600 + 1;
  test::FeedEpoch(track, fix);
  ASSERT_EQ(track.PointCount(), 1);
  EXPECT_TRUE(track.LastPoint().Position().IsValid());

  // Nor does such an epoch count as the receiver standing still.
  Load(track, positionless(2));
  EXPECT_EQ(track.PointCount(), 1);
  EXPECT_EQ(track.LastPoint().GetFixTime().Second(), 1);
}

}  // namespace
}  // namespace orv
