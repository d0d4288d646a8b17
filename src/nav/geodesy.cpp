#include "nav/geodesy.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace orv {
namespace {

// The rounded factors are kept on purpose: stored distances and bearings
// must come out the same as the ones users already have.
constexpr double kDegToRad = 0.01745329252;
constexpr double kRadToDeg = 57.2957795129;
constexpr double kHalfPi = 1.570796326795;
constexpr double kEquatorialDiameterNm = 6887.79697624;
constexpr double kFlattening = 0.0033528106647474805;
constexpr double kRadiansPerNmOnSphere = 0.00029069219902653744;
constexpr double kSamePointDegrees = 1e-7;
constexpr double kGridPerDegree = 360000.0;
constexpr double kBearingUpperBound = 359.999999;
constexpr double kUnknown = std::numeric_limits<double>::max();

bool SamePoint(double lat1, double lon1, double lat2, double lon2) {
  return std::fabs(lat1 - lat2) < kSamePointDegrees && std::fabs(lon1 - lon2) < kSamePointDegrees;
}

// Rounding error can push the argument a hair past +-1 for points a few
// centimetres apart; unclamped that turns a valid answer into NaN.
double SafeAsin(double x) {
  return std::asin(std::clamp(x, -1.0, 1.0));
}
double SafeAcos(double x) {
  return std::acos(std::clamp(x, -1.0, 1.0));
}

// 0.01 arc-second grid. Truncation toward zero, so negative coordinates are
// not rounded symmetrically; quadrant decisions depend on exactly this.
// A NaN or huge coordinate is saturated first: converting it to an integer
// directly would be undefined.
int64_t ToGrid(double degrees) {
  const double scaled = degrees * kGridPerDegree + 0.5;
  if (std::isnan(scaled)) return 0;
  constexpr double kLimit = 9.0e18;
  return static_cast<int64_t>(std::clamp(scaled, -kLimit, kLimit));
}

double Square(double x) {
  return x * x;
}

}  // namespace

double GeoDistance(double lat1, double lon1, double lat2, double lon2) {
  if (lat1 == kUnknown || lon1 == kUnknown || lat2 == kUnknown || lon2 == kUnknown) return 0.0;
  if (SamePoint(lat1, lon1, lat2, lon2)) return 0.0;

  const double f = (lat1 + lat2) / 2.0 * kDegToRad;
  const double g = (lat1 - lat2) / 2.0 * kDegToRad;
  const double l = (lon2 - lon1) / 2.0 * kDegToRad;

  const double sin2_f = Square(std::sin(f));
  const double cos2_f = Square(std::cos(f));
  const double sin2_g = Square(std::sin(g));
  const double cos2_g = Square(std::cos(g));
  const double sin2_l = Square(std::sin(l));
  const double cos2_l = Square(std::cos(l));

  const double s = sin2_l * cos2_f + cos2_l * sin2_g;
  const double c = sin2_f * sin2_l + cos2_g * cos2_l;
  const double w = std::atan2(std::sqrt(s), std::sqrt(c));
  if (w == 0.0 || s == 0.0 || c == 0.0) {
    // Too close (or exactly antipodal) for the correction terms to be
    // defined; the plain arc is the best answer left.
    return w * kEquatorialDiameterNm;
  }
  const double r3 = 3.0 * std::sqrt(c * s) / w;
  const double h1 = (r3 - 1.0) / (2.0 * c);
  const double h2 = (r3 + 1.0) / (2.0 * s);

  return (1.0 + kFlattening * h1 * sin2_f * cos2_g - kFlattening * h2 * cos2_f * sin2_g) *
         (w * kEquatorialDiameterNm);
}

double GeoAzimuth(double lat1, double lon1, double lat2, double lon2) {
  if (SamePoint(lat1, lon1, lat2, lon2)) return -1.0;

  const int64_t grid_lat1 = ToGrid(lat1);
  const int64_t grid_lon1 = ToGrid(lon1);
  const int64_t grid_lat2 = ToGrid(lat2);
  const int64_t grid_lon2 = ToGrid(lon2);

  if (grid_lat1 == grid_lat2) {
    if (grid_lon2 > grid_lon1) return 90.0;
    if (grid_lon2 < grid_lon1) return 270.0;
    return 0.0;
  }
  if (grid_lon1 == grid_lon2) return grid_lat1 > grid_lat2 ? 180.0 : 0.0;

  const double d_lon = (lon2 - lon1) * kDegToRad;
  const double phi1 = lat1 * kDegToRad;
  const double phi2 = lat2 * kDegToRad;
  const double central =
      SafeAcos(std::cos(d_lon) * std::cos(phi1) * std::cos(phi2) + std::sin(phi1) * std::sin(phi2));
  double sin_central = std::sin(central);
  if (sin_central == 0.0) {
    // Points centimetres apart round the cosine to exactly 1; a local flat
    // estimate of the arc keeps the direction instead of dividing by zero.
    sin_central = std::hypot(phi2 - phi1, d_lon * std::cos((phi1 + phi2) / 2.0));
  }
  const double a = sin_central == 0.0
                       ? 0.0
                       : SafeAsin(std::sin(d_lon) / sin_central * std::cos(phi2)) * kRadToDeg;

  double result;
  if (grid_lat2 > grid_lat1) {
    result = grid_lon2 > grid_lon1 ? a : a + 360.0;
  } else {
    result = 180.0 - a;
  }
  if (result > 360.0) result -= 360.0;
  return result;
}

void GeoDestination(double lat, double lon, double distance_nm, double azimuth, double& out_lat,
                    double& out_lon) {
  if (distance_nm == 0.0 || azimuth < 0.0 || azimuth > kBearingUpperBound) {
    out_lat = lat;
    out_lon = lon;
    return;
  }
  const double d = distance_nm * kRadiansPerNmOnSphere;
  const double colatitude = (90.0 - lat) * kDegToRad;
  const double b = azimuth * kDegToRad;

  const double c2 = SafeAcos(std::cos(b) * std::sin(colatitude) * std::sin(d) +
                             std::cos(colatitude) * std::cos(d));
  const double sin_c2 = std::sin(c2);
  // At a pole of arrival every longitude is the same point; keep the start's.
  const double d_lon = sin_c2 == 0.0 ? 0.0 : SafeAsin(std::sin(b) / sin_c2 * std::sin(d));

  out_lat = (kHalfPi - c2) * kRadToDeg;
  out_lon = lon + d_lon * kRadToDeg;
}

}  // namespace orv
