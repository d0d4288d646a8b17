#include <gtest/gtest.h>

#include <vector>

#include "nav/geodesy.h"
#include "nav/position_averaging.h"

namespace orv {
namespace {

// Evenly spaced samples along the equator, so the expected average is a plain fraction of
// the spacing. The midpoint projects half an ellipsoidal distance on the sphere, which
// misses the exact middle by about 0.2 %; the tolerance allows for that and still tells
// a half step from a whole one.
constexpr double kStep = 0.01;
constexpr double kTolerance = 0.0002;

std::vector<GeoPoint> AlongTheEquator(int count) {
  std::vector<GeoPoint> points;
  for (int i = 0; i < count; ++i) points.push_back({0.0, i * kStep});
  return points;
}

struct AveragingCase {
  const char* legend;
  int samples;
  double expected_steps;  // the average, in steps from the first sample
};

class PairwiseAveragingTest : public ::testing::TestWithParam<AveragingCase> {};

TEST_P(PairwiseAveragingTest, ReducesPairByPair) {
  const AveragingCase& c = GetParam();
  const auto points = AlongTheEquator(c.samples);
  const auto average = PairwiseMidpointAverage(points);
  ASSERT_TRUE(average.has_value());
  EXPECT_NEAR(average->latitude, 0.0, 1e-9);
  EXPECT_NEAR(average->longitude, c.expected_steps * kStep, kTolerance);
}

const AveragingCase kAveragingCases[] = {
    {"one sample is the result", 1, 0.0},
    {"two samples give their midpoint", 2, 0.5},
    {"three samples: the third is left out", 3, 0.5},
    {"four samples: midpoint of the two midpoints", 4, 1.5},
    {"five samples: the fifth is left out", 5, 1.5},
    {"six samples: the third midpoint is left out", 6, 1.5},
    {"eight samples: three rounds", 8, 3.5},
};

INSTANTIATE_TEST_SUITE_P(Counts, PairwiseAveragingTest, ::testing::ValuesIn(kAveragingCases));

TEST(PairwiseAveragingTest, NoSamplesGiveNoAverage) {
  EXPECT_FALSE(PairwiseMidpointAverage({}).has_value());
}

TEST(PairwiseAveragingTest, CoincidingPairKeepsItsFirstPoint) {
  const GeoPoint a{47.0, 8.0};
  const GeoPoint b{47.01, 8.0};
  EXPECT_EQ(GeodesicMidpoint(a, a), a);
  // (a, a) and (b, b) reduce to a and b, then to their midpoint.
  const std::vector<GeoPoint> samples = {a, a, b, b};
  const auto average = PairwiseMidpointAverage(samples);
  ASSERT_TRUE(average.has_value());
  EXPECT_NEAR(average->latitude, 47.005, kTolerance);
  EXPECT_NEAR(average->longitude, 8.0, 1e-9);
}

TEST(PairwiseAveragingTest, MidpointPastTheDateLineIsWrapped) {
  // An earlier projection may hand on a longitude past 180.
  const GeoPoint middle = GeodesicMidpoint({0.0, 179.99}, {0.0, 180.03});
  EXPECT_GE(middle.longitude, -180.0);
  EXPECT_LE(middle.longitude, 180.0);
  EXPECT_NEAR(middle.longitude, -179.99, kTolerance);
}

// Metres north of the start, in degrees of latitude (about 111.2 km per degree here).
GeoPoint North(const GeoPoint& from, double metres) {
  return {from.latitude + metres / 111200.0, from.longitude};
}

TEST(PositionAveragerTest, SamplesOnlyMovesOfMoreThanFiveMetres) {
  const GeoPoint start{47.0, 8.0};
  PositionAverager averager;
  EXPECT_TRUE(averager.Offer(start));
  // Standing still with noise: nothing new is sampled.
  EXPECT_FALSE(averager.Offer(start));
  EXPECT_FALSE(averager.Offer(North(start, 4.0)));
  ASSERT_EQ(averager.Samples().size(), 1u);
  EXPECT_EQ(averager.Average(), start);

  EXPECT_TRUE(averager.Offer(North(start, 6.0)));
  // The spacing counts from the last sample, not the first.
  EXPECT_FALSE(averager.Offer(North(start, 10.0)));
  EXPECT_TRUE(averager.Offer(North(start, 12.0)));
  EXPECT_EQ(averager.Samples().size(), 3u);

  averager.Clear();
  EXPECT_FALSE(averager.Average().has_value());
  EXPECT_TRUE(averager.Offer(North(start, 12.0)));
}

}  // namespace
}  // namespace orv
