#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/playback_control.h"
#include "app/track.h"
#include "nmea_fixture.h"

namespace orv {
namespace {

struct ReplayCase {
  std::string legend;
  int32_t mode;
  int32_t direction;
  int32_t speedZoom;
  int32_t startCursor;
  std::vector<int32_t> visited;

  friend void PrintTo(const ReplayCase& c, std::ostream* os) { *os << c.legend; }
};

class ReplayTest : public ::testing::TestWithParam<ReplayCase> {};

TEST_P(ReplayTest, CursorVisits) {
  const ReplayCase& c = GetParam();
  Track track(TrackKind::kRecorded);
  test::FeedMovingPoints(track, 10);
  ASSERT_EQ(track.PointCount(), 10);
  track.SetPlayback({c.mode, c.direction, c.speedZoom});
  c.startCursor == 0 ? track.GoToBegin() : track.GoToEnd();
  ASSERT_EQ(track.Cursor(), c.startCursor);
  std::vector<int32_t> visited;
  for (size_t step = 0; step < c.visited.size(); ++step) {
    const TrackPoint point = track.NextPlaybackPoint();
    visited.push_back(track.Cursor());
    // The point handed out is the one under the cursor (speeds are index + 1).
    EXPECT_DOUBLE_EQ(point.SpeedKnots(), track.Cursor() + 1.0);
  }
  EXPECT_EQ(visited, c.visited);
}

INSTANTIATE_TEST_SUITE_P(
    Track, ReplayTest,
    ::testing::Values(
        ReplayCase{"PlayForwardZoom3", kPlaybackPlaying, kPlaybackForward, 3, 0, {3, 6, 9, 9}},
        ReplayCase{"PlayReverseZoom3", kPlaybackPlaying, kPlaybackReverse, 3, 9, {6, 3, 0, 0}},
        ReplayCase{"PausedKeepsThePoint", kPlaybackPaused, kPlaybackForward, 3, 0, {0, 0, 0}},
        ReplayCase{"UnknownDirectionMovesForward", kPlaybackPlaying, 7, 5, 0, {5, 9}},
        ReplayCase{"ZoomBeyondTheTrack", kPlaybackPlaying, kPlaybackForward, 100, 0, {9}}),
    [](const auto& info) { return info.param.legend; });

TEST(TrackPlaybackTest, NextAndPreviousIgnoreTheModeAndFollowTheDirection) {
  Track track(TrackKind::kRecorded);
  test::FeedMovingPoints(track, 10);
  track.SetPlayback({kPlaybackPaused, kPlaybackForward, 3});
  track.StepPrevious();
  EXPECT_EQ(track.Cursor(), 0);
  track.StepNext();
  EXPECT_EQ(track.Cursor(), 3);
  track.SetPlaybackDirection(kPlaybackReverse);
  track.StepNext();
  EXPECT_EQ(track.Cursor(), 0);
  track.StepPrevious();
  track.StepPrevious();
  EXPECT_EQ(track.Cursor(), 6);
}

TEST(TrackPlaybackTest, EmptyTrackHasNoCursorToMove) {
  Track track(TrackKind::kRecorded);
  track.SetPlayback({kPlaybackPlaying, kPlaybackForward, 3});
  track.StepNext();
  track.StepPrevious();
  track.GoToBegin();
  track.GoToEnd();
  track.GoToMaxSpeedPoint();
  EXPECT_EQ(track.Cursor(), -1);
  const TrackPoint point = track.NextPlaybackPoint();
  EXPECT_FALSE(point.TimeSet());
  EXPECT_EQ(track.Cursor(), -1);
  EXPECT_FALSE(track.CurrentPoint().TimeSet());
}

TEST(TrackPlaybackTest, GoToExtremesAndEnds) {
  Track track(TrackKind::kRecorded);
  test::FeedMovingPoints(track, 6);  // speed and altitude grow with the index
  track.GoToEnd();
  EXPECT_EQ(track.Cursor(), 5);
  track.GoToMinAltitudePoint();
  EXPECT_EQ(track.Cursor(), 0);
  track.GoToMaxSpeedPoint();
  EXPECT_EQ(track.Cursor(), 5);
  track.GoToBegin();
  track.GoToMaxAltitudePoint();
  EXPECT_EQ(track.Cursor(), 5);
}

TEST(TrackPlaybackTest, GoToAnExtremeNeverRecordedLeavesTheCursor) {
  Track track(TrackKind::kRecorded);
  test::Fix fix;
  for (int i = 0; i < 3; ++i) {
    fix.second = 12 * 3600 + i;
    fix.northMetres = 50.0 * i;  // stored, but never moving
    test::FeedEpoch(track, fix);
  }
  ASSERT_EQ(track.PointCount(), 3);
  ASSERT_EQ(track.Statistics().MaxSpeedIndex(), -1);
  track.GoToEnd();
  track.GoToMaxSpeedPoint();
  EXPECT_EQ(track.Cursor(), 2);
}

TEST(TrackPlaybackTest, SpeedZoomTakesOnlyTheMenuValues) {
  Track track(TrackKind::kRecorded);
  for (int32_t zoom : kSpeedZooms) EXPECT_TRUE(track.SetSpeedZoom(zoom));
  EXPECT_EQ(track.SpeedZoom(), 100);
  for (int32_t zoom : {0, -3, 2, 15, 101}) EXPECT_FALSE(track.SetSpeedZoom(zoom)) << zoom;
  EXPECT_EQ(track.SpeedZoom(), 100);
}

TEST(TrackPlaybackTest, CurrentPointOfTheLiveTrackIsItsNewest) {
  Track live(TrackKind::kRecording);
  test::FeedMovingPoints(live, 4);
  live.GoToBegin();
  EXPECT_DOUBLE_EQ(live.CurrentPoint().SpeedKnots(), 4.0);
  Track replayed(TrackKind::kRecorded);
  test::FeedMovingPoints(replayed, 4);
  EXPECT_DOUBLE_EQ(replayed.CurrentPoint().SpeedKnots(), 1.0);
}

}  // namespace
}  // namespace orv
