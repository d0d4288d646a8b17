#include <gtest/gtest.h>

#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "app/track.h"
#include "nmea_fixture.h"

namespace orv {
namespace {

using test::Feed;
using test::FeedEpoch;
using test::Fix;
using test::Gga;
using test::Gsa;
using test::Gsv;
using test::NmeaLine;
using test::Rmc;

constexpr int kNoon = 12 * 3600;

Fix At(int secondsAfterNoon, double northMetres = 0.0, double knots = 0.0) {
  Fix fix;
  fix.second = kNoon + secondsAfterNoon;
  fix.northMetres = northMetres;
  fix.knots = knots;
  return fix;
}

Fix WithQuality(Fix fix, int quality, std::string hdop) {
  fix.quality = quality;
  fix.hdop = std::move(hdop);
  return fix;
}

double MetresNorth(const TrackPoint& point) {
  return (point.Position().LatitudeRaw() - 4800.0) * 1852.0;
}

struct EpochCase {
  std::string legend;
  std::vector<std::string> lines;
  int storedPoints;

  friend void PrintTo(const EpochCase& c, std::ostream* os) { *os << c.legend; }
};

class EpochAssemblyTest : public ::testing::TestWithParam<EpochCase> {};

TEST_P(EpochAssemblyTest, StoresTheExpectedPoints) {
  Track track(TrackKind::kRecording);
  for (const std::string& line : GetParam().lines) {
    int error = 0;
    track.ProcessSentence(line, error);
    ASSERT_EQ(error, 0);
  }
  EXPECT_EQ(track.PointCount(), GetParam().storedPoints);
}

INSTANTIATE_TEST_SUITE_P(
    Track, EpochAssemblyTest,
    ::testing::Values(
        EpochCase{"GgaThenRmcOfOneSecond", {Gga(At(0)), Rmc(At(0))}, 1},
        EpochCase{"RmcThenGgaOfOneSecond", {Rmc(At(0)), Gga(At(0))}, 1},
        EpochCase{"GgaWithoutFix",
                  {Gga(WithQuality(At(0), 0, "0.9")), Rmc(At(0)), Gsa(),
                   Gga(WithQuality(At(1), 0, "0.9")), Rmc(At(1)), Gsa()},
                  0},
        EpochCase{
            "GgaWithHdopAboveTen", {Gga(WithQuality(At(0), 1, "10.01")), Rmc(At(0)), Gsa()}, 0},
        EpochCase{"GgaWithHdopExactlyTen", {Gga(WithQuality(At(0), 1, "10.0")), Rmc(At(0))}, 1},
        EpochCase{
            "RmcOnlyCommitsOneEpochLate", {Rmc(At(0)), Rmc(At(1, 100.0)), Rmc(At(2, 200.0))}, 2},
        EpochCase{"RmcFollowedByOtherSentencesButNoGga",
                  {Rmc(At(0)), Gsa(), Gsv(9), Rmc(At(1, 100.0)), Gsa(), Rmc(At(2, 200.0))},
                  0},
        EpochCase{"InvalidRmcDropsTheEpoch", {Gga(At(0)), Rmc(At(0), 'V'), Rmc(At(0))}, 0},
        EpochCase{"BadChecksumDropsTheEpoch",
                  {Gga(At(0)), "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*00\r\n", Rmc(At(0))},
                  0},
        EpochCase{"UnknownMnemonicChangesNothing",
                  {Gga(At(0)), NmeaLine("GPZDA,120000,15,03,2010,,"), Rmc(At(0))},
                  1},
        EpochCase{"ProprietaryLineChangesNothing",
                  {Gga(At(0)), NmeaLine("POVRPVD,Orvelle Recorder 7 Beta,v7.9.85"), Rmc(At(0))},
                  1},
        EpochCase{"FramingFailureChangesNothing",
                  {Gga(At(0)), "GPRMC,no dollar\r\n", "$GPRMC,A,no line end", Rmc(At(0))},
                  1},
        // The second dated RMC of the same second opens a new epoch: the
        // first one is committed from the pending point and the GGA completes
        // the second one at its own position, 100 m away.
        EpochCase{"SecondDatedRmcOfTheSameTimeStartsANewEpoch",
                  {Rmc(At(0)), Rmc(At(0, 100.0)), Gga(At(0, 100.0))},
                  2}),
    [](const auto& info) { return info.param.legend; });

TEST(TrackSentenceTest, GgaAndRmcOfOneSecondMakeOneFullPoint) {
  for (bool rmcFirst : {false, true}) {
    SCOPED_TRACE(rmcFirst ? "RMC first" : "GGA first");
    Track track(TrackKind::kRecording);
    Fix fix = At(5, 0.0, 12.5);
    fix.course = 87.5;
    fix.satellitesInUse = 7;
    Feed(track, Gsv(11));
    Feed(track, Gsa("04,05,,09,12,,,24,,,,"));
    Feed(track, rmcFirst ? Rmc(fix) : Gga(fix));
    Feed(track, rmcFirst ? Gga(fix) : Rmc(fix));
    ASSERT_EQ(track.PointCount(), 1);
    const TrackPoint point = track.CurrentPoint();
    EXPECT_TRUE(point.Complete());
    EXPECT_EQ(point.GetFixTime(), FixTime::FromFields(2010, 3, 15, 12, 0, 5));
    EXPECT_DOUBLE_EQ(point.AltitudeMsl(), 545.4);
    EXPECT_DOUBLE_EQ(point.GeoidSeparation(), 46.9);
    EXPECT_EQ(point.SatellitesInUse(), 7);
    EXPECT_EQ(point.SatellitesInView(), 11);
    EXPECT_DOUBLE_EQ(point.SpeedKnots(), 12.5);
    EXPECT_DOUBLE_EQ(point.CourseDegrees(), 87.5);
    EXPECT_EQ(point.SatellitePrns(), (TrackPoint::PrnList{4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0}));
    EXPECT_EQ(track.Cursor(), 0);
  }
}

TEST(TrackSentenceTest, EpochWithoutGsvOrGsaCarriesRememberedSatellites) {
  Track track(TrackKind::kRecording);
  Feed(track, Gsv(9));
  FeedEpoch(track, At(0));
  Fix second = At(1, 100.0);
  second.satellitesInUse = 6;
  Feed(track, Gga(second));
  Feed(track, Rmc(second));
  ASSERT_EQ(track.PointCount(), 2);
  const TrackPoint point = track.PointAt(1);
  EXPECT_EQ(point.SatellitesInView(), 9);
  EXPECT_EQ(point.SatellitesInUse(), 6);
  EXPECT_EQ(point.SatellitePrns(), TrackPoint::PrnList{});
  EXPECT_EQ(track.RememberedSatellitesInView(), 9);
  EXPECT_EQ(track.RememberedPrns(), TrackPoint::PrnList{});
}

TEST(TrackSentenceTest, GgaWithoutFixStillUpdatesSatellitesInUse) {
  Track track(TrackKind::kRecording);
  Fix noFix = WithQuality(At(0), 0, "0.9");
  noFix.satellitesInUse = 3;
  EXPECT_TRUE(Feed(track, Gga(noFix)));
  EXPECT_EQ(track.RememberedSatellitesInUse(), 3);
  EXPECT_EQ(track.PointCount(), 0);
}

TEST(TrackSentenceTest, RejectedSentenceReturnsFalseAndIgnoredOnesToo) {
  Track track(TrackKind::kRecording);
  EXPECT_TRUE(Feed(track, Rmc(At(0))));
  EXPECT_FALSE(Feed(track, Rmc(At(0), 'V')));
  EXPECT_FALSE(Feed(track, NmeaLine("GPXYZ,1")));
  EXPECT_FALSE(Feed(track, ""));
}

TEST(TrackSentenceTest, StandingReceiverKeepsOnePointWhoseTimeFollowsTheClock) {
  Track track(TrackKind::kRecording);
  for (int second = 0; second < 30; ++second) {
    // Under 2 m of jitter, no speed.
    FeedEpoch(track, At(second, (second % 3) * 0.7));
  }
  ASSERT_EQ(track.PointCount(), 1);
  EXPECT_EQ(track.LastPoint().GetFixTime(), FixTime::FromFields(2010, 3, 15, 12, 0, 29));
  const TripSummary summary = track.Summary();
  EXPECT_EQ(summary.trip, 0.0);
  // First and last stored point are the same point.
  EXPECT_EQ(summary.elapsedSeconds, 0);
}

TEST(TrackSentenceTest, TooClosePointGivesItsAltitudeToAStoredPointWithout) {
  Track track(TrackKind::kRecording);
  Feed(track, Rmc(At(0)));
  Feed(track, Rmc(At(1)));  // commits the first RMC-only point: no altitude
  ASSERT_EQ(track.PointCount(), 1);
  EXPECT_EQ(track.LastPoint().AltitudeMsl(), TrackPoint::kUnknown);
  Feed(track, Gga(At(1)));  // completes second 1 at the same place
  ASSERT_EQ(track.PointCount(), 1);
  const TrackPoint stored = track.LastPoint();
  EXPECT_DOUBLE_EQ(stored.AltitudeMsl(), 545.4);
  EXPECT_EQ(stored.GetFixTime(), FixTime::FromFields(2010, 3, 15, 12, 0, 1));
}

TEST(TrackSentenceTest, MovingTrackStatisticsFromFixTimes) {
  Track track(TrackKind::kRecording);
  FeedEpoch(track, At(0));  // standing start
  for (int second = 1; second <= 10; ++second) {
    FeedEpoch(track, At(second, 20.0 * second, 20.0));
  }
  FeedEpoch(track, At(11, 200.5, 0.0));  // stop
  ASSERT_EQ(track.PointCount(), 12);
  const TripSummary summary = track.Summary();
  EXPECT_NEAR(summary.trip * 1852.0, 200.5, 0.5);
  EXPECT_EQ(summary.elapsedSeconds, 11);
  EXPECT_EQ(summary.movingSeconds, 10);
  EXPECT_EQ(summary.stoppedSeconds, 1);
  EXPECT_DOUBLE_EQ(summary.maxSpeed, 20.0);
  EXPECT_DOUBLE_EQ(summary.averageSpeed, 200.0 / 12);
  // The live track's current point is its newest one.
  EXPECT_EQ(summary.secondsFromBegin, 11);
  EXPECT_EQ(summary.secondsToEnd, 0);
  EXPECT_DOUBLE_EQ(summary.tripToEnd, 0.0);
  EXPECT_NEAR(MetresNorth(track.CurrentPoint()), 200.5, 0.01);
}

TEST(TrackSentenceTest, ReplayedTrackMeasuresFromThePointUnderTheCursor) {
  Track track(TrackKind::kRecorded);
  test::FeedMovingPoints(track, 5);
  track.GoToBegin();
  track.StepNext();  // cursor 1
  const TripSummary summary = track.Summary();
  EXPECT_EQ(summary.secondsFromBegin, 1);
  EXPECT_EQ(summary.secondsToEnd, 3);
  EXPECT_NEAR(summary.tripFromBegin * 1852.0, 100.0, 0.5);
  EXPECT_NEAR(summary.tripToEnd * 1852.0, 300.0, 0.5);
  EXPECT_DOUBLE_EQ(summary.currentAltitude, 110.0);
  EXPECT_DOUBLE_EQ(summary.currentSpeed, 2.0);
}

class FailingStoreTrack : public Track {
 public:
  FailingStoreTrack() : Track(TrackKind::kRecording) {}

 protected:
  void StorePoint(const TrackPoint&) override { throw std::bad_alloc(); }
};

TEST(TrackSentenceTest, OutOfMemoryIsReportedAndNothingIsStored) {
  FailingStoreTrack track;
  int error = 0;
  track.ProcessSentence(Gga(At(0)), error);
  EXPECT_EQ(error, 0);
  track.ProcessSentence(Rmc(At(0)), error);
  EXPECT_EQ(error, 1);
  EXPECT_EQ(track.PointCount(), 0);
  EXPECT_EQ(track.Cursor(), -1);
}

TEST(TrackSentenceTest, ClearingKeepsPlaybackSettingsOnly) {
  Track track(TrackKind::kRecorded);
  test::FeedMovingPoints(track, 3);
  Feed(track, Gsv(10));
  track.SetName("/home/user/drive.txt");
  track.SetPlayback({kPlaybackPlaying, kPlaybackReverse, 20});
  track.Clear();
  EXPECT_EQ(track.PointCount(), 0);
  EXPECT_EQ(track.Cursor(), -1);
  EXPECT_EQ(track.Name(), kProgramTitle);
  EXPECT_EQ(track.RememberedSatellitesInView(), -1);
  EXPECT_EQ(track.RememberedSatellitesInUse(), -1);
  EXPECT_EQ(track.RememberedPrns(), TrackPoint::PrnList{});
  EXPECT_EQ(track.Statistics().AcceptedCount(), 0u);
  EXPECT_EQ(track.Statistics().MaxSpeedIndex(), -1);
  const PlaybackSettings settings = track.Playback();
  EXPECT_EQ(settings.mode, kPlaybackPlaying);
  EXPECT_EQ(settings.direction, kPlaybackReverse);
  EXPECT_EQ(settings.speedZoom, 20);
  // An epoch half assembled before the clear does not complete afterwards.
  Feed(track, Gga(At(0)));
  track.Clear();
  Feed(track, Rmc(At(0)));
  EXPECT_EQ(track.PointCount(), 0);
}

}  // namespace
}  // namespace orv
