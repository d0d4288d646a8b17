#include "nav/geodesy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orv {
namespace {

constexpr double kUnknown = std::numeric_limits<double>::max();

struct PointPair {
  const char* legend;
  double lat1, lon1, lat2, lon2;
};

TEST(GeoDistanceTest, CoincidingPointsHaveNoDistanceAndNoBearing) {
  const PointPair cases[] = {
      {"identical", 47.3769, 8.5417, 47.3769, 8.5417},
      {"half tolerance apart", 47.3769, 8.5417, 47.3769 + 0.5e-7, 8.5417 + 0.5e-7},
      {"half tolerance apart, negative", -33.9, -70.6, -33.9 - 0.5e-7, -70.6 - 0.5e-7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    EXPECT_EQ(GeoDistance(c.lat1, c.lon1, c.lat2, c.lon2), 0.0);
    EXPECT_EQ(GeoAzimuth(c.lat1, c.lon1, c.lat2, c.lon2), -1.0);
  }
}

TEST(GeoDistanceTest, UnknownCoordinateGivesZero) {
  EXPECT_EQ(GeoDistance(kUnknown, 8.0, 47.0, 9.0), 0.0);
  EXPECT_EQ(GeoDistance(47.0, kUnknown, 47.0, 9.0), 0.0);
  EXPECT_EQ(GeoDistance(47.0, 8.0, kUnknown, 9.0), 0.0);
  EXPECT_EQ(GeoDistance(47.0, 8.0, 47.0, kUnknown), 0.0);
}

TEST(GeoDistanceTest, KnownDistances) {
  struct Case {
    const char* legend;
    PointPair points;
    double expected_nm;
    double tolerance_nm;
  };
  const Case cases[] = {
      // Ellipsoidal: a degree of latitude at the equator is shorter than 60 NM.
      {"one degree along the meridian at the equator", {"", 0.0, 0.0, 1.0, 0.0}, 59.7, 0.02},
      {"one degree along the meridian near the pole", {"", 88.0, 0.0, 89.0, 0.0}, 60.3, 0.02},
      {"one degree along the equator", {"", 0.0, 0.0, 0.0, 1.0}, 60.1, 0.02},
      // Zurich to Paris, about 264 NM on the ellipsoid.
      {"Zurich to Paris", {"", 47.3769, 8.5417, 48.8566, 2.3522}, 263.9, 1.0},
      {"symmetric: Paris to Zurich", {"", 48.8566, 2.3522, 47.3769, 8.5417}, 263.9, 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const PointPair& p = c.points;
    EXPECT_NEAR(GeoDistance(p.lat1, p.lon1, p.lat2, p.lon2), c.expected_nm, c.tolerance_nm);
  }
}

TEST(GeoAzimuthTest, GridAlignedTargetsGiveExactCardinalBearings) {
  struct Case {
    const char* legend;
    PointPair points;
    double expected;
  };
  const Case cases[] = {
      {"east", {"", 10.0, 10.0, 10.0, 11.0}, 90.0},
      {"west", {"", 10.0, 10.0, 10.0, 9.0}, 270.0},
      {"south", {"", 10.0, 10.0, 9.0, 10.0}, 180.0},
      {"north", {"", 10.0, 10.0, 11.0, 10.0}, 0.0},
      // 1e-6 degrees north is below the 0.01 arc-second grid: still due east.
      {"east, slightly north within one grid cell", {"", 10.0, 10.0, 10.000001, 11.0}, 90.0},
      // Truncation toward zero merges grid cells -1 and 0 around the equator,
      // so these two latitudes count as the same row.
      {"east across the equator within the merged cell", {"", -0.000003, 0.0, 0.000001, 1.0}, 90.0},
      {"same grid cell but beyond the tolerance", {"", 10.0, 10.0, 10.0000005, 10.0000005}, 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const PointPair& p = c.points;
    EXPECT_EQ(GeoAzimuth(p.lat1, p.lon1, p.lat2, p.lon2), c.expected);
  }
}

TEST(GeoAzimuthTest, QuadrantsFollowTheTargetSide) {
  struct Case {
    const char* legend;
    PointPair points;
    double low, high;  // exclusive bounds
  };
  const Case cases[] = {
      {"north-east", {"", 10.0, 10.0, 11.0, 11.0}, 0.0, 90.0},
      {"north-west", {"", 10.0, 10.0, 11.0, 9.0}, 270.0, 360.0},
      {"south-east", {"", 10.0, 10.0, 9.0, 11.0}, 90.0, 180.0},
      {"south-west", {"", 10.0, 10.0, 9.0, 9.0}, 180.0, 270.0},
      {"south-west, southern hemisphere", {"", -33.0, -70.0, -34.0, -71.0}, 180.0, 270.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const PointPair& p = c.points;
    const double azimuth = GeoAzimuth(p.lat1, p.lon1, p.lat2, p.lon2);
    EXPECT_GT(azimuth, c.low);
    EXPECT_LT(azimuth, c.high);
  }
  // A 45-degree course near the equator: north-east symmetric case.
  EXPECT_NEAR(GeoAzimuth(0.0, 0.0, 0.01, 0.01), 45.0, 0.01);
  EXPECT_NEAR(GeoAzimuth(0.0, 0.0, -0.01, -0.01), 225.0, 0.01);
}

TEST(GeoAzimuthTest, PointsCentimetresApartGiveFiniteResults) {
  // Each pair straddles a grid boundary, so the spherical formula runs on
  // points a few centimetres apart, where rounding breaks its domain.
  const PointPair cases[] = {
      {"central-angle cosine above 1", -12.521479266666667, 113.81751240000001, -12.521479066666666,
       113.81751260000001},
      {"central-angle cosine exactly 1", -79.63914593333332, -16.942687600000003,
       -79.63914573333332, -16.942686600000002},
      {"sine ratio above 1", -31.13800148888889, -133.35599037777777, -31.13800128888889,
       -133.35598937777777},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    // Every target lies north-east of its start.
    const double azimuth = GeoAzimuth(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_GE(azimuth, 0.0);
    EXPECT_LE(azimuth, 90.0);
    const double distance = GeoDistance(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_GT(distance, 0.0);
    EXPECT_LT(distance, 1e-4);
  }
}

TEST(GeoDestinationTest, NoMovementLeavesThePositionUnchanged) {
  struct Case {
    const char* legend;
    double distance, azimuth;
  };
  const Case cases[] = {
      {"distance 0", 0.0, 45.0},
      {"azimuth 360", 10.0, 360.0},
      {"azimuth just above the upper bound", 10.0, 359.9999995},
      {"negative azimuth", 10.0, -1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    double lat = 0.0, lon = 0.0;
    GeoDestination(47.5, 8.5, c.distance, c.azimuth, lat, lon);
    EXPECT_EQ(lat, 47.5);
    EXPECT_EQ(lon, 8.5);
  }
}

TEST(GeoDestinationTest, ProjectsAlongTheSphere) {
  double lat = 0.0, lon = 0.0;
  // 60 NM north on a sphere of 3440.065 NM is 0.99930 degrees.
  GeoDestination(0.0, 0.0, 60.0, 0.0, lat, lon);
  EXPECT_NEAR(lat, 60.0 * 0.00029069219902653744 * 57.2957795129, 1e-9);
  EXPECT_NEAR(lon, 0.0, 1e-12);

  // Across the antimeridian the longitude is not wrapped.
  GeoDestination(0.0, 179.5, 60.0, 90.0, lat, lon);
  EXPECT_NEAR(lat, 0.0, 1e-9);
  EXPECT_GT(lon, 180.0);
  EXPECT_NEAR(lon, 180.4993, 1e-3);
  GeoDestination(0.0, -179.5, 60.0, 270.0, lat, lon);
  EXPECT_LT(lon, -180.0);

  // A projection of a few millimetres must not produce NaN.
  GeoDestination(63.8, -18.3, 1e-6, 203.0, lat, lon);
  EXPECT_TRUE(std::isfinite(lat));
  EXPECT_TRUE(std::isfinite(lon));
}

TEST(GeoDestinationTest, RoundTripThroughDistanceAndAzimuth) {
  struct Case {
    const char* legend;
    double lat, lon, distance, azimuth;
  };
  const Case cases[] = {
      {"north-east", 47.5, 8.5, 100.0, 37.0},
      {"south-east", 47.5, 8.5, 100.0, 143.0},
      {"south-west", -33.0, 151.0, 250.0, 200.0},
      {"north-west", 10.0, -60.0, 5.0, 300.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    double lat = 0.0, lon = 0.0;
    GeoDestination(c.lat, c.lon, c.distance, c.azimuth, lat, lon);
    // Both bearings are spherical, so they agree closely; the distance is
    // ellipsoidal and differs from the sphere by well under one percent.
    EXPECT_NEAR(GeoAzimuth(c.lat, c.lon, lat, lon), c.azimuth, 1e-6);
    EXPECT_NEAR(GeoDistance(c.lat, c.lon, lat, lon), c.distance, c.distance * 0.006);
  }
}

}  // namespace
}  // namespace orv
