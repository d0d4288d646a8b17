#include "nmea/track_point.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(TrackPoint, ResetValuesMarkEverythingUnknown) {
  TrackPoint p;
  p.SetSatellitesInUse(7);
  p.SetAltitudeMsl(12.0);
  p.SetSpeedKnots(3.0);
  p.CopyPrnsFrom({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  p.SetFixTime(FixTime::FromFields(2024, 5, 6, 7, 8, 9));
  p.Reset();
  EXPECT_EQ(p.SatellitesInUse(), -1);
  EXPECT_EQ(p.SatellitesInView(), -1);
  EXPECT_EQ(p.AltitudeMsl(), TrackPoint::kUnknown);
  EXPECT_EQ(p.GeoidSeparation(), TrackPoint::kUnknown);
  EXPECT_EQ(p.SpeedKnots(), 0.0);
  EXPECT_FALSE(p.HasPrnList());
  EXPECT_FALSE(p.TimeSet());
  EXPECT_TRUE(p.GetFixTime().IsTimeOnly());
  EXPECT_FALSE(p.Position().IsValid());
}

TEST(TrackPoint, CompleteNeedsTimePositionRmcAndGga) {
  TrackPoint p;
  p.SetFixTime(FixTime::TimeOfDay(1, 2, 3));
  p.TakeEpochPosition(LatLong());
  p.SetRmcSeen(true);
  p.RecomputeComplete();
  EXPECT_FALSE(p.Complete());
  p.SetGgaSeen(true);
  p.RecomputeComplete();
  EXPECT_TRUE(p.Complete());
  TrackPoint q;
  q.MarkComplete();
  EXPECT_TRUE(q.Complete());
}

TEST(TrackPoint, ThePrnListIsCopiedBothWays) {
  TrackPoint p;
  TrackPoint::PrnList prns{};
  p.CopyPrnsFrom(prns);
  EXPECT_TRUE(p.HasPrnList());  // twelve zeros are a list
  prns[3] = 17;
  p.CopyPrnsFrom(prns);
  TrackPoint::PrnList out{};
  p.CopyPrnsTo(out);
  EXPECT_EQ(out[3], 17);
}

// Each row: the stored time (or none), the new time, and whether the point's
// other contents survive (same epoch) and which time results.
struct EpochCase {
  const char* legend;
  bool timeSet;
  FixTime stored;
  FixTime incoming;
  bool sameEpoch;
  FixTime expected;
};

class TrackPointSetFixTime : public ::testing::TestWithParam<EpochCase> {};

TEST_P(TrackPointSetFixTime, DecidesWhetherANewEpochBegins) {
  const EpochCase& c = GetParam();
  TrackPoint p;
  if (c.timeSet) p.SetFixTime(c.stored);
  p.SetSatellitesInUse(9);
  p.SetGgaSeen(true);
  EXPECT_TRUE(p.SetFixTime(c.incoming));
  EXPECT_TRUE(p.TimeSet());
  EXPECT_EQ(p.GetFixTime(), c.expected) << c.legend;
  EXPECT_EQ(p.SatellitesInUse(), c.sameEpoch ? 9 : -1) << c.legend;
  EXPECT_EQ(p.GgaSeen(), c.sameEpoch) << c.legend;
}

const FixTime kNoon = FixTime::TimeOfDay(12, 0, 0);
const FixTime kNoonDated = FixTime::FromFields(2024, 6, 1, 12, 0, 0);
const FixTime kLater = FixTime::TimeOfDay(12, 0, 1);
const FixTime kLaterDated = FixTime::FromFields(2024, 6, 1, 12, 0, 1);

INSTANTIATE_TEST_SUITE_P(
    Cases, TrackPointSetFixTime,
    ::testing::Values(
        EpochCase{"first time", false, {}, kNoon, true, kNoon},
        EpochCase{"time-only then its date", true, kNoon, kNoonDated, true, kNoonDated},
        EpochCase{"time-only then another time-only", true, kNoon, kLater, false, kLater},
        EpochCase{"time-only then the same time-only", true, kNoon, kNoon, false, kNoon},
        EpochCase{"time-only then a later dated", true, kNoon, kLaterDated, false, kLaterDated},
        EpochCase{"dated then its time of day", true, kNoonDated, kNoon, true, kNoonDated},
        EpochCase{"dated then the identical dated", true, kNoonDated, kNoonDated, false,
                  kNoonDated},
        EpochCase{"dated then another time of day", true, kNoonDated, kLater, false, kLater}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(TrackPoint, TheFirstPositionOfAnEpochWins) {
  LatLong first;
  first.SetDegrees(48.0, 11.0);
  LatLong second;
  second.SetDegrees(49.0, 12.0);
  TrackPoint p;
  p.TakeEpochPosition(first);
  p.TakeEpochPosition(second);
  EXPECT_EQ(p.Position(), first);
  EXPECT_TRUE(p.PositionSet());
  p.SetPosition(second);
  EXPECT_EQ(p.Position(), second);
}

}  // namespace
}  // namespace orv
