#include "app/trip_statistics.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orv {
namespace {

constexpr double kMetresPerNm = 1852.0;
constexpr double kBaseLatitude = 48.0;
constexpr double kBaseLongitude = 11.0;

// A complete point `northMetres` north of a fixed base position.
TrackPoint PointAt(double northMetres, double knots, std::optional<double> altitude = {}) {
  TrackPoint point;
  LatLong position;
  position.SetDegrees(kBaseLatitude + northMetres / 111120.0, kBaseLongitude);
  point.SetPosition(position);
  point.SetTimeSet(true);
  point.SetRmcSeen(true);
  point.SetGgaSeen(true);
  point.RecomputeComplete();
  point.SetSpeedKnots(knots);
  if (altitude) point.SetAltitudeMsl(*altitude);
  return point;
}

// Offers points the way a track does: each accepted point becomes the last one.
class TripStatisticsTest : public ::testing::Test {
 protected:
  bool Offer(TrackPoint point) {
    const bool accepted = stats_.AcceptPoint(point, last_, flags_);
    if (accepted) {
      last_ = point;
      stats_.NoteExtremeIndices(flags_, storedCount_++);
    }
    return accepted;
  }
  double TripMetres() const { return stats_.Trip() * kMetresPerNm; }

  TripStatistics stats_;
  TrackPoint last_;
  AcceptFlags flags_;
  int32_t storedCount_ = 0;
};

struct MovementCase {
  std::string legend;
  double firstKnots;
  double secondMetres;
  double secondKnots;
  bool accepted;
  bool tooClose;
  double tripMetres;
  double storedKnots;

  friend void PrintTo(const MovementCase& c, std::ostream* os) { *os << c.legend; }
};

class MovementFilterTest : public TripStatisticsTest,
                           public ::testing::WithParamInterface<MovementCase> {};

TEST_P(MovementFilterTest, SecondPointAfterFirst) {
  const MovementCase& c = GetParam();
  ASSERT_TRUE(Offer(PointAt(0.0, c.firstKnots)));
  EXPECT_EQ(Offer(PointAt(c.secondMetres, c.secondKnots)), c.accepted);
  EXPECT_EQ(flags_.tooClose, c.tooClose);
  EXPECT_NEAR(TripMetres(), c.tripMetres, 0.3);
  if (c.accepted) {
    EXPECT_EQ(last_.SpeedKnots(), c.storedKnots);
    EXPECT_DOUBLE_EQ(last_.TripAtPoint(), stats_.Trip());
  }
}

INSTANTIATE_TEST_SUITE_P(
    TripStatistics, MovementFilterTest,
    ::testing::Values(
        MovementCase{"StandingStillJitterBelowMinimumStep", 0.0, 3.0, 0.0, false, true, 0.0, 0.0},
        MovementCase{"JitterBetweenMinimumAndTripStepStoredWithoutTrip", 0.0, 7.0, 0.0, true, false,
                     0.0, 0.0},
        MovementCase{"MoveOf25MetresAddsToTrip", 5.0, 25.0, 5.0, true, false, 25.0, 5.0},
        MovementCase{"StartingToMoveIsStoredEvenWhenClose", 0.05, 1.0, 0.5, true, false, 0.0, 0.5},
        MovementCase{"StoppingIsStoredAsStandstill", 2.0, 1.0, 0.05, true, false, 0.0, 0.0},
        MovementCase{"MovingButTooCloseIsRejected", 2.0, 2.0, 2.0, false, true, 0.0, 0.0},
        MovementCase{"SpeedAtThresholdCountsAsStanding", 0.1, 3.0, 0.1, false, true, 0.0, 0.0}),
    [](const auto& info) { return info.param.legend; });

TEST_F(TripStatisticsTest, TripIsMeasuredFromTheAnchorNotFromTheLastPoint) {
  ASSERT_TRUE(Offer(PointAt(0.0, 1.0)));
  ASSERT_TRUE(Offer(PointAt(7.0, 1.0)));  // stored, anchor stays at 0
  EXPECT_NEAR(TripMetres(), 0.0, 1e-9);
  ASSERT_TRUE(Offer(PointAt(14.0, 1.0)));  // 14 m from the anchor
  EXPECT_NEAR(TripMetres(), 14.0, 0.2);
  EXPECT_NEAR(stats_.Anchor().LatitudeDegrees(), kBaseLatitude + 14.0 / 111120.0, 1e-9);
}

TEST_F(TripStatisticsTest, MovingPointsNeedACompletePredecessorAndCountEvenWhenRejected) {
  ASSERT_TRUE(Offer(PointAt(0.0, 3.0)));  // predecessor is a reset point: not counted
  EXPECT_EQ(stats_.MovingCount(), 0u);
  EXPECT_FALSE(Offer(PointAt(1.0, 3.0)));
  EXPECT_EQ(stats_.MovingCount(), 1u);
  ASSERT_TRUE(Offer(PointAt(30.0, 3.0)));
  EXPECT_EQ(stats_.MovingCount(), 2u);
  EXPECT_EQ(stats_.MovingSeconds(), 2);
}

TEST_F(TripStatisticsTest, AverageSpeedCountsStationaryPoints) {
  EXPECT_EQ(stats_.AverageSpeed(), 0.0);
  ASSERT_TRUE(Offer(PointAt(0.0, 0.0)));
  ASSERT_TRUE(Offer(PointAt(100.0, 6.0)));
  ASSERT_TRUE(Offer(PointAt(101.0, 0.0)));  // the stop, stored at speed 0
  EXPECT_EQ(stats_.AcceptedCount(), 3u);
  EXPECT_DOUBLE_EQ(stats_.SpeedSum(), 6.0);
  EXPECT_DOUBLE_EQ(stats_.AverageSpeed(), 2.0);
}

TEST_F(TripStatisticsTest, ExtremesCarryFlagsAndIndices) {
  ASSERT_TRUE(Offer(PointAt(0.0, 1.0, 100.0)));
  EXPECT_TRUE(flags_.newMaxAltitude && flags_.newMinAltitude && flags_.newMaxSpeed);
  ASSERT_TRUE(Offer(PointAt(50.0, 4.0, 130.0)));
  EXPECT_TRUE(flags_.newMaxAltitude);
  EXPECT_FALSE(flags_.newMinAltitude);
  ASSERT_TRUE(Offer(PointAt(100.0, 2.0, 90.0)));
  EXPECT_TRUE(flags_.newMinAltitude);
  EXPECT_FALSE(flags_.newMaxSpeed);
  EXPECT_EQ(stats_.MaxSpeed(), 4.0);
  EXPECT_EQ(stats_.MaxSpeedIndex(), 1);
  EXPECT_EQ(stats_.MaxAltitude(), 130.0);
  EXPECT_EQ(stats_.MaxAltitudeIndex(), 1);
  EXPECT_EQ(stats_.MinAltitude(), 90.0);
  EXPECT_EQ(stats_.MinAltitudeIndex(), 2);
  EXPECT_EQ(stats_.LastAltitude(), 90.0);
}

TEST_F(TripStatisticsTest, PointWithoutAltitudeTakesThePreviousOne) {
  ASSERT_TRUE(Offer(PointAt(0.0, 1.0, 120.0)));
  ASSERT_TRUE(Offer(PointAt(50.0, 1.0)));
  EXPECT_EQ(last_.AltitudeMsl(), 120.0);
  EXPECT_FALSE(flags_.newMaxAltitude || flags_.newMinAltitude);
  EXPECT_EQ(stats_.LastAltitude(), 120.0);
}

TEST_F(TripStatisticsTest, AllStationaryPointsLeaveNoMaximumSpeedIndex) {
  ASSERT_TRUE(Offer(PointAt(0.0, 0.0)));
  ASSERT_TRUE(Offer(PointAt(20.0, 0.0)));
  EXPECT_EQ(stats_.MaxSpeedIndex(), -1);
  EXPECT_EQ(stats_.MaxAltitudeIndex(), -1);
  EXPECT_EQ(stats_.LastAltitude(), TripStatistics::kUnknown);
}

TEST_F(TripStatisticsTest, BoundingBoxIsPoleReferenced) {
  EXPECT_TRUE(stats_.Box().IsEmpty());
  TrackPoint south = PointAt(0.0, 5.0);
  LatLong position;
  position.SetDegrees(-1.0, -2.0);
  south.SetPosition(position);
  TrackPoint north = PointAt(0.0, 5.0);
  position.SetDegrees(3.0, 4.0);
  north.SetPosition(position);
  ASSERT_TRUE(Offer(south));
  ASSERT_TRUE(Offer(north));
  const BoundingBox& box = stats_.Box();
  EXPECT_NEAR(box.minLatitude, 87.0, 1e-9);  // 90 - 3
  EXPECT_NEAR(box.maxLatitude, 91.0, 1e-9);  // 90 - (-1)
  EXPECT_NEAR(box.minLongitude, 178.0, 1e-9);
  EXPECT_NEAR(box.maxLongitude, 184.0, 1e-9);
}

}  // namespace
}  // namespace orv
