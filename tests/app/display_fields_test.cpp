#include "app/display_fields.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <ostream>
#include <vector>

namespace orv {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

struct CompassCase {
  double course;
  const char* letters;
};

void PrintTo(const CompassCase& c, std::ostream* os) {
  *os << c.course;
}

class CompassTest : public ::testing::TestWithParam<CompassCase> {};

TEST_P(CompassTest, EachSectorIncludesItsUpperBound) {
  EXPECT_EQ(CompassLetters(GetParam().course), GetParam().letters) << GetParam().course;
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, CompassTest,
    ::testing::Values(CompassCase{0.0, "N"}, CompassCase{22.5, "N"}, CompassCase{22.51, "NE"},
                      CompassCase{67.5, "NE"}, CompassCase{67.51, "E"}, CompassCase{112.5, "E"},
                      CompassCase{112.51, "SE"}, CompassCase{157.5, "SE"}, CompassCase{157.51, "S"},
                      CompassCase{202.5, "S"}, CompassCase{202.51, "SW"}, CompassCase{247.5, "SW"},
                      CompassCase{247.51, "W"}, CompassCase{292.5, "W"}, CompassCase{292.51, "NW"},
                      CompassCase{337.5, "NW"}, CompassCase{337.51, "N"}, CompassCase{360.0, "N"},
                      CompassCase{-10.0, "N"},
                      CompassCase{std::numeric_limits<double>::quiet_NaN(), "N"}));

struct TrackCase {
  const char* legend;
  double course;
  double speed;
  const char* expected;
};

void PrintTo(const TrackCase& c, std::ostream* os) {
  *os << c.legend;
}

constexpr TrackCase kTrackCases[] = {
    {"moving north-east", 45.0, 3.0, "45.00\xC2\xB0 (NE)"},
    {"rounded to two decimals", 337.504, 0.01, "337.50\xC2\xB0 (N)"},
    {"standing still", 45.0, 0.0, "Unknown"},
    {"negative speed", 45.0, -1.0, "Unknown"},
    {"course never received", kLargest, 5.0, "Unknown"},
};

class TrackTextTest : public ::testing::TestWithParam<TrackCase> {};

TEST_P(TrackTextTest, ShowsCourseOnlyWhileMoving) {
  EXPECT_EQ(TrackText(GetParam().course, GetParam().speed), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Course, TrackTextTest, ::testing::ValuesIn(kTrackCases));

struct AltitudeCase {
  const char* legend;
  double metres;
  AltitudeKind kind;
  const char* expected;
};

void PrintTo(const AltitudeCase& c, std::ostream* os) {
  *os << c.legend;
}

constexpr AltitudeCase kAltitudeCases[] = {
    {"current unset", kLargest, AltitudeKind::kCurrent, "Unknown"},
    {"minimum unset", kLargest, AltitudeKind::kMinimum, "Unknown"},
    {"maximum unset", -kLargest, AltitudeKind::kMaximum, "Unknown"},
    {"current known", 120.0, AltitudeKind::kCurrent, "393.7 ft"},
    {"maximum known", 120.0, AltitudeKind::kMaximum, "393.7 ft"},
    {"minimum below sea level", -3.0, AltitudeKind::kMinimum, "-9.8 ft"},
};

class AltitudeFieldTest : public ::testing::TestWithParam<AltitudeCase> {};

TEST_P(AltitudeFieldTest, UnknownOnlyForItsOwnMarker) {
  const AltitudeCase& c = GetParam();
  EXPECT_EQ(AltitudeFieldText(c.metres, c.kind, DistanceUnits::kNauticalMiles), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Altitude, AltitudeFieldTest, ::testing::ValuesIn(kAltitudeCases));

TEST(AltitudeFieldText, MarkersAreNotInterchangeable) {
  // The maximum starts at the lowest value so that any altitude beats it; the plain
  // largest double is a real (absurd) number there, not the marker.
  EXPECT_NE(AltitudeFieldText(kLargest, AltitudeKind::kMaximum, DistanceUnits::kKilometers),
            "Unknown");
  EXPECT_NE(AltitudeFieldText(-kLargest, AltitudeKind::kMinimum, DistanceUnits::kKilometers),
            "Unknown");
}

struct SatelliteCase {
  const char* legend;
  int in_view;
  int in_use;
  std::vector<int> prns;
  const char* expected;
};

void PrintTo(const SatelliteCase& c, std::ostream* os) {
  *os << c.legend;
}

const SatelliteCase kSatelliteCases[] = {
    {"none in view", 0, 0, {}, "(0)(Searching)"},
    {"none in view ignores the rest", 0, 5, {33}, "(0)(Searching)"},
    {"unknown", -1, -1, {33}, ""},
    {"in view, none in use", 12, 0, {33, 48}, "0(12) (Acquiring)"},
    {"fix without PRN list", 11, 7, {}, "7(11) "},
    {"PRN list absent when first is 0", 11, 7, {0, 33, 48}, "7(11) "},
    {"plain GPS PRNs", 11, 7, {1, 5, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "7(11) "},
    {"EGNOS before WAAS whatever the order",
     9,
     8,
     {48, 3, 33, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     "8(9) (EGNOS)(WAAS)"},
    {"each tag once", 9, 8, {33, 37, 39, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "8(9) (EGNOS)"},
    {"all four systems",
     12,
     12,
     {50, 42, 51, 39, 1, 2, 3, 4, 5, 6, 7, 8},
     "12(12) (EGNOS)(WAAS)(MTSAT-1)(MTSAT-2)"},
    {"WAAS PRNs", 9, 4, {35, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "4(9) (WAAS)"},
    {"WAAS PRN 47 in the last place", 9, 4, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 47}, "4(9) (WAAS)"},
    {"MTSAT-2 alone", 9, 4, {50}, "4(9) (MTSAT-2)"},
    {"neighbours of SBAS PRNs", 9, 4, {34, 36, 38, 40, 41, 43, 49, 52}, "4(9) "},
};

class SatellitesTextTest : public ::testing::TestWithParam<SatelliteCase> {};

TEST_P(SatellitesTextTest, FollowsTheSatelliteRule) {
  const SatelliteCase& c = GetParam();
  EXPECT_EQ(SatellitesText(c.in_view, c.in_use, c.prns), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Satellites, SatellitesTextTest, ::testing::ValuesIn(kSatelliteCases));

struct SpeedLimitCase {
  const char* legend;
  double knots;
  int limit;
  DistanceUnits units;
  bool warn;
};

void PrintTo(const SpeedLimitCase& c, std::ostream* os) {
  *os << c.legend;
}

constexpr SpeedLimitCase kSpeedLimitCases[] = {
    {"no limit set", 500.0, kNoSpeedLimit, DistanceUnits::kKilometers, false},
    {"exactly at the limit", 50.0, 50, DistanceUnits::kNauticalMiles, true},
    {"just below the limit", 49.99, 50, DistanceUnits::kNauticalMiles, false},
    // 27 kn is 50.004 km/h but only 27 kn: the limit is read in the display unit.
    {"converted speed reaches the limit", 27.0, 50, DistanceUnits::kKilometers, true},
    {"unconverted speed would not", 27.0, 50, DistanceUnits::kNauticalMiles, false},
    {"statute miles", 26.07, 30, DistanceUnits::kStatuteMiles, true},
    {"statute miles just below", 26.06, 30, DistanceUnits::kStatuteMiles, false},
    {"zero limit warns at rest", 0.0, 0, DistanceUnits::kKilometers, true},
};

class SpeedLimitTest : public ::testing::TestWithParam<SpeedLimitCase> {};

TEST_P(SpeedLimitTest, WarnsAtOrAboveTheLimit) {
  const SpeedLimitCase& c = GetParam();
  EXPECT_EQ(SpeedLimitReached(c.knots, c.limit, c.units), c.warn);
}

INSTANTIATE_TEST_SUITE_P(SpeedLimit, SpeedLimitTest, ::testing::ValuesIn(kSpeedLimitCases));

TEST(SpeedLimitText, IsTheWholeNumber) {
  EXPECT_EQ(SpeedLimitText(50), "50");
  EXPECT_EQ(SpeedLimitText(120000), "120000");  // no digit grouping under any locale
}

TEST(FieldTexts, LabelsAndTitles) {
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kTrip), "TRIP: ");
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kTripFromBegin), "TRIPfB: ");
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kMaxAltitude), "ALT(max): ");
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kMovingTime), "TTIME: ");
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kStoppedTime), "STIME: ");
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kLongitude), "Longitude: ");
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kPointTime), "");
  EXPECT_EQ(DisplayFieldLabel(DisplayField::kBlank), "");

  EXPECT_EQ(UserFieldTitle(UserSelectableField::kTrip), "Trip Odometer(TRIP)");
  EXPECT_EQ(UserFieldTitle(UserSelectableField::kAltitude), "MSL Altitude(ALT)");
  EXPECT_EQ(UserFieldTitle(UserSelectableField::kElapsedTime), "Elapsed Time(ELPSD)");
  EXPECT_EQ(UserFieldTitle(static_cast<UserSelectableField>(9)), "");
}

struct UserFieldUnitCase {
  UserSelectableField field;
  DistanceUnits units;
  const char* name;
};

TEST(FieldTexts, LargeFieldUnitFollowsTheFieldAndUnits) {
  constexpr UserFieldUnitCase kCases[] = {
      {UserSelectableField::kTrip, DistanceUnits::kStatuteMiles, "Statute Miles(mi)"},
      {UserSelectableField::kSpeed, DistanceUnits::kNauticalMiles, "Nautical Mile per Hour(kn)"},
      {UserSelectableField::kTrack, DistanceUnits::kKilometers, "Track made good(degrees)"},
      {UserSelectableField::kAltitude, DistanceUnits::kKilometers, "Meters(m)"},
      {UserSelectableField::kAltitude, DistanceUnits::kNauticalMiles, "Feet(ft)"},
      {UserSelectableField::kElapsedTime, DistanceUnits::kStatuteMiles, "d, h:m:s"},
  };
  for (const UserFieldUnitCase& c : kCases) {
    EXPECT_EQ(UserFieldUnitName(c.field, c.units), c.name) << static_cast<int>(c.field);
  }
}

}  // namespace
}  // namespace orv
