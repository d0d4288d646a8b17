#include "app/display_units.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <ostream>

#include "decimal_comma_locale.h"

namespace orv {
namespace {

constexpr auto kKm = DistanceUnits::kKilometers;
constexpr auto kMi = DistanceUnits::kStatuteMiles;
constexpr auto kNmi = DistanceUnits::kNauticalMiles;

struct ValueCase {
  const char* legend;
  DistanceUnits units;
  double value;
  const char* distance;
  const char* speed;
  const char* altitude;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << c.legend;
}

// The value goes in as nautical miles, knots and metres at once.
constexpr ValueCase kValueCases[] = {
    {"kilometres", kKm, 10.0, "18.520 km", "18.5 km/h", "10.0 m"},
    {"statute miles and feet", kMi, 10.0, "11.508 mi", "11.5 mph", "32.8 ft"},
    {"nautical miles and feet", kNmi, 10.0, "10.000 nmi", "10.0 kn", "32.8 ft"},
    {"zero", kKm, 0.0, "0.000 km", "0.0 km/h", "0.0 m"},
    {"below sea level", kMi, -100.0, "-115.078 mi", "-115.1 mph", "-328.1 ft"},
    {"rounds half up past the tie", kNmi, 0.00051, "0.001 nmi", "0.0 kn", "0.0 ft"},
    {"large trip", kKm, 12345.678, "22864.196 km", "22864.2 km/h", "12345.7 m"},
    {"unknown unit falls back to nautical", static_cast<DistanceUnits>(7), 1.0, "1.000 nmi",
     "1.0 kn", "3.3 ft"},
};

class UnitTextTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(UnitTextTest, FormatsInTheChosenUnits) {
  const ValueCase& c = GetParam();
  EXPECT_EQ(DistanceText(c.value, c.units), c.distance);
  EXPECT_EQ(SpeedText(c.value, c.units), c.speed);
  EXPECT_EQ(AltitudeText(c.value, c.units), c.altitude);
}

INSTANTIATE_TEST_SUITE_P(Units, UnitTextTest, ::testing::ValuesIn(kValueCases));

TEST(UnitConversion, UsesTheExactFactors) {
  EXPECT_DOUBLE_EQ(DistanceInUnits(2.0, kKm), 3.704);
  EXPECT_DOUBLE_EQ(DistanceInUnits(2.0, kMi), 2.301558896);
  EXPECT_DOUBLE_EQ(DistanceInUnits(2.0, kNmi), 2.0);
  EXPECT_DOUBLE_EQ(SpeedInUnits(100.0, kKm), 185.2);
  EXPECT_DOUBLE_EQ(SpeedInUnits(100.0, kMi), 115.0779448);
  EXPECT_DOUBLE_EQ(SpeedInUnits(100.0, kNmi), 100.0);
  EXPECT_DOUBLE_EQ(AltitudeInUnits(1000.0, kKm), 1000.0);
  EXPECT_DOUBLE_EQ(AltitudeInUnits(1000.0, kMi), 3280.839895);
  EXPECT_DOUBLE_EQ(AltitudeInUnits(1000.0, kNmi), 3280.839895);
}

TEST(UnitNames, NameEachSystem) {
  EXPECT_EQ(DistanceUnitName(kKm), "Kilometers(km)");
  EXPECT_EQ(DistanceUnitName(kMi), "Statute Miles(mi)");
  EXPECT_EQ(DistanceUnitName(kNmi), "Nautical Miles(nmi)");
  EXPECT_EQ(SpeedUnitName(kKm), "Kilometer per Hour(km/h)");
  EXPECT_EQ(SpeedUnitName(kMi), "Mile per Hour(mph)");
  EXPECT_EQ(SpeedUnitName(kNmi), "Nautical Mile per Hour(kn)");
  EXPECT_EQ(AltitudeUnitName(kKm), "Meters(m)");
  EXPECT_EQ(AltitudeUnitName(kMi), "Feet(ft)");
  EXPECT_EQ(AltitudeUnitName(kNmi), "Feet(ft)");
}

struct FixedCase {
  const char* legend;
  double value;
  int precision;
  const char* expected;
};

void PrintTo(const FixedCase& c, std::ostream* os) {
  *os << c.legend;
}

// Rows where a naive round(value * 10^n) would differ from printf, which rounds the exact
// binary value and breaks exact ties to even.
constexpr FixedCase kFixedCases[] = {
    {"0.0005 lies just above the tie", 0.0005, 3, "0.001"},
    {"0.0625 is an exact tie, to even", 0.0625, 3, "0.062"},
    {"0.125 is an exact tie, to even", 0.125, 2, "0.12"},
    {"2.675 lies just below the tie", 2.675, 2, "2.67"},
    {"1.005 lies just below the tie", 1.005, 2, "1.00"},
    {"negative rounds to negative zero", -0.04, 1, "-0.0"},
    {"carry into the integer part", 9.9996, 3, "10.000"},
    {"largest double in full", std::numeric_limits<double>::max(), 1,
     "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558"
     "632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245"
     "490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168"
     "738177180919299881250404026184124858368.0"},
    {"not a number", std::numeric_limits<double>::quiet_NaN(), 1, "nan"},
    {"precision out of range is clamped", 1.5, -3, "2"},
};

class FixedTextTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedTextTest, RoundsLikePrintf) {
  const FixedCase& c = GetParam();
  EXPECT_EQ(FixedText(c.value, c.precision), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rounding, FixedTextTest, ::testing::ValuesIn(kFixedCases));

TEST(UnitText, KeepsTheDecimalPointUnderADecimalCommaLocale) {
  test::DecimalCommaLocale german;
  if (!german.Active()) GTEST_SKIP() << "no de_DE locale installed";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(DistanceText(1.5, kNmi), "1.500 nmi");
  EXPECT_EQ(SpeedText(12.25, kKm), "22.7 km/h");
  EXPECT_EQ(AltitudeText(1234.5, kKm), "1234.5 m");
}

}  // namespace
}  // namespace orv
