#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/navigator.h"
#include "app/playback_burst_writer.h"
#include "nmea_fixture.h"

namespace orv {
namespace {

constexpr int kPoints = 3000;

// FeedMovingPoints gives point i the speed i + 1 and the altitude 100 + 10 i,
// so any point read whole can be checked against its own index.
bool IsWholePoint(const TrackPoint& point, int32_t index) {
  return point.SpeedKnots() == index + 1.0 && point.AltitudeMsl() == 100.0 + 10.0 * index &&
         point.Complete();
}

TEST(TrackConcurrentTest, ReadersSeeWholePointsWhileTheReceiverAppends) {
  Navigator navigator;
  Track& live = navigator.Recording();
  std::atomic<bool> feeding{true};

  std::thread receiver([&] {
    test::FeedMovingPoints(live, kPoints);
    feeding.store(false);
  });

  int32_t lastCount = 0;
  int reads = 0;
  bool torn = false;
  while (feeding.load() || reads == 0) {
    const int32_t count = live.PointCount();
    EXPECT_GE(count, lastCount);
    lastCount = count;
    if (count > 0) {
      if (!IsWholePoint(live.PointAt(count - 1), count - 1)) torn = true;
      const TrackPoint current = navigator.CurrentPoint(Navigator::kRecordingId);
      const int32_t index = static_cast<int32_t>(current.SpeedKnots()) - 1;
      if (index < count - 1 || !IsWholePoint(current, index)) torn = true;
    }
    // Statistics taken in one piece agree with each other: every point was
    // accepted and each was faster than the one before.
    const TripStatistics statistics = live.Statistics();
    if (statistics.MaxSpeed() != static_cast<double>(statistics.AcceptedCount())) torn = true;
    const TripSummary summary = live.Summary();
    if (summary.elapsedSeconds < 0 || summary.maxSpeed < summary.currentSpeed) torn = true;
    live.RememberedSatellitesInUse();
    ++reads;
  }
  receiver.join();
  EXPECT_FALSE(torn);
  EXPECT_GT(reads, 0);
  ASSERT_EQ(live.PointCount(), kPoints);
  int32_t checked = 0;
  live.ForEachPoint(0, kPoints, [&](int32_t index, const TrackPoint& point) {
    if (IsWholePoint(point, index)) ++checked;
  });
  EXPECT_EQ(checked, kPoints);
}

TEST(TrackConcurrentTest, ReplayAndCommandsMoveTheCursorWhileAFileLoads) {
  Navigator navigator;
  Track& recorded = navigator.Recorded();
  recorded.SetPlayback({kPlaybackPlaying, kPlaybackForward, 3});
  std::atomic<bool> loading{true};

  std::thread loader([&] {
    test::FeedMovingPoints(recorded, kPoints);
    loading.store(false);
  });
  // The destination's sending thread.
  std::thread sender([&] {
    PlaybackBurstWriter writer;
    while (loading.load()) {
      const std::string burst = writer.NextBurst(recorded);
      EXPECT_FALSE(burst.empty());
    }
  });

  bool outOfRange = false;
  while (loading.load()) {
    recorded.StepPrevious();
    recorded.GoToMaxSpeedPoint();
    // Points only come, so a cursor read between two counts lies within the later one.
    const int32_t countBefore = recorded.PointCount();
    const int32_t cursor = recorded.Cursor();
    const int32_t countAfter = recorded.PointCount();
    if ((countBefore > 0 && cursor < 0) || cursor >= countAfter) outOfRange = true;
    const TrackPoint current = recorded.CurrentPoint();
    if (countBefore > 0 && !current.Complete()) outOfRange = true;
  }
  loader.join();
  sender.join();
  EXPECT_FALSE(outOfRange);
  recorded.GoToEnd();
  EXPECT_EQ(recorded.Cursor(), kPoints - 1);
}

}  // namespace
}  // namespace orv
