#include "app/display_fields.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace orv {

namespace {

constexpr double kUnsetValue = std::numeric_limits<double>::max();
constexpr std::string_view kDegreeSign = "\xC2\xB0";

}  // namespace

std::string_view DisplayFieldLabel(DisplayField field) {
  switch (field) {
    case DisplayField::kTrip:
      return "TRIP: ";
    case DisplayField::kTripFromBegin:
      return "TRIPfB: ";
    case DisplayField::kTripToEnd:
      return "TRIPtE: ";
    case DisplayField::kSpeed:
      return "SPD: ";
    case DisplayField::kMaxSpeed:
      return "MXSPD: ";
    case DisplayField::kAverageSpeed:
      return "AVSPD: ";
    case DisplayField::kAltitude:
      return "ALT: ";
    case DisplayField::kMaxAltitude:
      return "ALT(max): ";
    case DisplayField::kMinAltitude:
      return "ALT(min): ";
    case DisplayField::kTrack:
      return "TRK: ";
    case DisplayField::kLatitude:
      return "Latitude: ";
    case DisplayField::kLongitude:
      return "Longitude: ";
    case DisplayField::kElapsedTime:
      return "ELPSD: ";
    case DisplayField::kMovingTime:
      return "TTIME: ";
    case DisplayField::kStoppedTime:
      return "STIME: ";
    case DisplayField::kTimeFromBegin:
      return "TIMEfB: ";
    case DisplayField::kTimeToEnd:
      return "TIMEtE: ";
    case DisplayField::kPointTime:
    case DisplayField::kBlank:
      break;
  }
  return {};
}

std::string_view UserFieldTitle(UserSelectableField field) {
  switch (field) {
    case UserSelectableField::kTrip:
      return "Trip Odometer(TRIP)";
    case UserSelectableField::kSpeed:
      return "Ground Speed(SPD)";
    case UserSelectableField::kTrack:
      return "Track(TRK)";
    case UserSelectableField::kAltitude:
      return "MSL Altitude(ALT)";
    case UserSelectableField::kElapsedTime:
      return "Elapsed Time(ELPSD)";
  }
  return {};
}

std::string_view UserFieldUnitName(UserSelectableField field, DistanceUnits units) {
  switch (field) {
    case UserSelectableField::kTrip:
      return DistanceUnitName(units);
    case UserSelectableField::kSpeed:
      return SpeedUnitName(units);
    case UserSelectableField::kTrack:
      return kCourseUnitName;
    case UserSelectableField::kAltitude:
      return AltitudeUnitName(units);
    case UserSelectableField::kElapsedTime:
      return kTimeUnitName;
  }
  return {};
}

std::string_view CompassLetters(double course_degrees) {
  // Upper bounds of the sectors from north-east round to north-west; anything else,
  // including courses past 337.5 and at or below 22.5, is north.
  static constexpr std::array<std::pair<double, std::string_view>, 7> kSectors = {{
      {67.5, "NE"},
      {112.5, "E"},
      {157.5, "SE"},
      {202.5, "S"},
      {247.5, "SW"},
      {292.5, "W"},
      {337.5, "NW"},
  }};
  if (course_degrees > 22.5) {
    for (const auto& [upper_bound, letters] : kSectors) {
      if (course_degrees <= upper_bound) return letters;
    }
  }
  return "N";
}

std::string TrackText(double course_degrees, double speed_knots) {
  const bool course_known = std::isfinite(course_degrees) && course_degrees != kUnsetValue;
  if (!(speed_knots > 0.0) || !course_known) return std::string(kUnknownText);
  std::string text = FixedText(course_degrees, 2);
  text += kDegreeSign;
  text += " (";
  text += CompassLetters(course_degrees);
  text += ')';
  return text;
}

std::string AltitudeFieldText(double metres, AltitudeKind kind, DistanceUnits units) {
  const double unset = kind == AltitudeKind::kMaximum ? -kUnsetValue : kUnsetValue;
  if (metres == unset) return std::string(kUnknownText);
  return AltitudeText(metres, units);
}

std::string SatellitesText(int in_view, int in_use, std::span<const int> prns) {
  if (in_view == 0) return "(0)(Searching)";
  if (in_view < 0) return {};

  std::string text = std::to_string(in_use);
  text += '(';
  text += std::to_string(in_view);
  text += ") ";
  if (in_use == 0) {
    text += "(Acquiring)";
    return text;
  }
  if (prns.empty() || prns.front() == 0) return text;

  struct AugmentationSystem {
    std::string_view tag;
    std::array<int, 4> prns;  // unused places hold 0, which is never a listed PRN
  };
  static constexpr std::array<AugmentationSystem, 4> kSystems = {{
      {"(EGNOS)", {33, 37, 39, 0}},
      {"(WAAS)", {35, 47, 48, 51}},
      {"(MTSAT-1)", {42, 0, 0, 0}},
      {"(MTSAT-2)", {50, 0, 0, 0}},
  }};
  for (const AugmentationSystem& system : kSystems) {
    const bool seen = std::any_of(prns.begin(), prns.end(), [&](int prn) {
      return prn != 0 &&
             std::find(system.prns.begin(), system.prns.end(), prn) != system.prns.end();
    });
    if (seen) text += system.tag;
  }
  return text;
}

bool SpeedLimitReached(double speed_knots, int speed_limit, DistanceUnits units) {
  if (speed_limit == kNoSpeedLimit) return false;
  return SpeedInUnits(speed_knots, units) >= static_cast<double>(speed_limit);
}

std::string SpeedLimitText(int speed_limit) {
  return std::to_string(speed_limit);
}

}  // namespace orv
