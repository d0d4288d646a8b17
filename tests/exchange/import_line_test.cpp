#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/track.h"
#include "exchange/file_import.h"
#include "nmea/gga_response.h"
#include "nmea/nmea_sentence.h"
#include "nmea/rmc_response.h"

namespace orv {
namespace {

LatLong At(double latitude, double longitude) {
  LatLong position;
  position.SetDegrees(latitude, longitude);
  return position;
}

// The line an imported document could hold: standing still, creeping, moving
// and jumping, both hemispheres, the poles and the date line, and minutes
// that round up to a whole degree or lie next to a rounding tie.
std::vector<LatLong> MixedLine() {
  std::vector<LatLong> line;
  for (int i = 0; i < 40; ++i) line.push_back(At(48.1 + 1e-6 * i, 11.5));
  for (int i = 0; i < 40; ++i) line.push_back(At(48.1 + 1e-4 * i * i, 11.5 - 3e-4 * i));
  line.push_back(At(48.0 + 59.99996 / 60.0, -(7.0 + 59.99997 / 60.0)));
  line.push_back(At(-(12.0 + 34.56785 / 60.0), 123.0 + 45.67895 / 60.0));
  line.push_back(At(-33.8688, 151.2093));
  line.push_back(At(0.0, 0.0));
  line.push_back(At(-90.0, 180.0));
  line.push_back(At(90.0, -180.0));
  line.push_back(At(52.516, 13.377));
  line.push_back(At(52.516, 13.377));
  return line;
}

// How the line used to enter the track: a GGA and an RMC sentence per second.
void FeedAsSentences(Track& track, const std::vector<LatLong>& line) {
  GgaResponse gga;
  RmcResponse rmc;
  NmeaSentence sentence;
  TrackPoint fix;
  for (size_t i = 0; i < line.size(); ++i) {
    fix.Reset();
    fix.SetPosition(line[i]);
    fix.AssignFixTime(
        FixTime::FromSecondsSinceEpoch(kImportedLineFirstSecond + static_cast<int64_t>(i)));
    int error = 0;
    gga.WriteFromPoint(sentence, fix);
    track.ProcessSentence(sentence.View(), error);
    rmc.WriteFromPoint(sentence, fix);
    track.ProcessSentence(sentence.View(), error);
    ASSERT_EQ(error, 0);
  }
}

void ExpectSamePoint(const TrackPoint& a, const TrackPoint& b) {
  EXPECT_EQ(a.Position().LatitudeRaw(), b.Position().LatitudeRaw());
  EXPECT_EQ(a.Position().LongitudeRaw(), b.Position().LongitudeRaw());
  EXPECT_EQ(a.Position().LatitudeHemisphere(), b.Position().LatitudeHemisphere());
  EXPECT_EQ(a.Position().LongitudeHemisphere(), b.Position().LongitudeHemisphere());
  EXPECT_EQ(a.Position().LatitudeDegrees(), b.Position().LatitudeDegrees());
  EXPECT_EQ(a.Position().LongitudeDegrees(), b.Position().LongitudeDegrees());
  EXPECT_EQ(a.GetFixTime(), b.GetFixTime());
  EXPECT_EQ(a.TripAtPoint(), b.TripAtPoint());
  EXPECT_EQ(a.SpeedKnots(), b.SpeedKnots());
  EXPECT_EQ(a.CourseDegrees(), b.CourseDegrees());
  EXPECT_EQ(a.MagneticVariation(), b.MagneticVariation());
  EXPECT_EQ(a.VariationDirection(), b.VariationDirection());
  EXPECT_EQ(a.AltitudeMsl(), b.AltitudeMsl());
  EXPECT_EQ(a.GeoidSeparation(), b.GeoidSeparation());
  EXPECT_EQ(a.SatellitesInUse(), b.SatellitesInUse());
  EXPECT_EQ(a.SatellitesInView(), b.SatellitesInView());
  EXPECT_EQ(a.SatellitePrns(), b.SatellitePrns());
  EXPECT_EQ(a.Complete(), b.Complete());
  EXPECT_EQ(a.TimeSet(), b.TimeSet());
  EXPECT_EQ(a.PositionSet(), b.PositionSet());
  EXPECT_EQ(a.GgaSeen(), b.GgaSeen());
  EXPECT_EQ(a.RmcSeen(), b.RmcSeen());
  EXPECT_EQ(a.LastWasRmc(), b.LastWasRmc());
}

TEST(ImportedLine, StoresWhatTheSentencesOfEachSecondWouldHaveStored) {
  const std::vector<LatLong> line = MixedLine();
  Track bySentences(TrackKind::kRecorded);
  FeedAsSentences(bySentences, line);

  Track direct(TrackKind::kRecorded);
  std::vector<TrackPoint> prepared;
  for (size_t i = 0; i < line.size(); ++i) {
    prepared.push_back(
        ImportedLinePoint(line[i], kImportedLineFirstSecond + static_cast<int64_t>(i)));
  }
  int error = 0;
  direct.AppendPoints(prepared, error);
  EXPECT_EQ(error, 0);

  // The movement filter kept the same points with the same trip.
  ASSERT_EQ(direct.PointCount(), bySentences.PointCount());
  EXPECT_LT(direct.PointCount(), static_cast<int32_t>(line.size()));
  for (int32_t i = 0; i < direct.PointCount(); ++i) {
    SCOPED_TRACE(i);
    ExpectSamePoint(direct.PointAt(i), bySentences.PointAt(i));
  }
  const TripStatistics a = direct.Statistics();
  const TripStatistics b = bySentences.Statistics();
  EXPECT_EQ(a.Trip(), b.Trip());
  EXPECT_EQ(a.AcceptedCount(), b.AcceptedCount());
  EXPECT_EQ(a.MovingCount(), b.MovingCount());
  EXPECT_EQ(a.MaxSpeed(), b.MaxSpeed());
  EXPECT_EQ(a.MaxSpeedIndex(), b.MaxSpeedIndex());
  EXPECT_EQ(a.MaxAltitudeIndex(), b.MaxAltitudeIndex());
  EXPECT_EQ(a.MinAltitudeIndex(), b.MinAltitudeIndex());
  EXPECT_EQ(a.LastCourse(), b.LastCourse());
  EXPECT_EQ(direct.Cursor(), bySentences.Cursor());
  EXPECT_EQ(direct.RememberedSatellitesInUse(), bySentences.RememberedSatellitesInUse());
  EXPECT_EQ(direct.RememberedSatellitesInView(), bySentences.RememberedSatellitesInView());
  EXPECT_EQ(direct.RememberedPrns(), bySentences.RememberedPrns());
  const TripSummary sa = direct.Summary();
  const TripSummary sb = bySentences.Summary();
  EXPECT_EQ(sa.trip, sb.trip);
  EXPECT_EQ(sa.elapsedSeconds, sb.elapsedSeconds);
  EXPECT_EQ(sa.movingSeconds, sb.movingSeconds);
  EXPECT_EQ(sa.maxAltitude, sb.maxAltitude);
  EXPECT_EQ(sa.minAltitude, sb.minAltitude);
}

}  // namespace
}  // namespace orv
