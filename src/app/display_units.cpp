#include "app/display_units.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>

namespace orv {

namespace {

// Unknown enumerator values (a damaged setting) fall back to the default system.
DistanceUnits Checked(DistanceUnits units) {
  switch (units) {
    case DistanceUnits::kKilometers:
    case DistanceUnits::kStatuteMiles:
    case DistanceUnits::kNauticalMiles:
      return units;
  }
  return kDefaultDistanceUnits;
}

std::string WithSuffix(double value, int precision, std::string_view suffix) {
  std::string text = FixedText(value, precision);
  text += ' ';
  text += suffix;
  return text;
}

}  // namespace

double DistanceInUnits(double nautical_miles, DistanceUnits units) {
  switch (Checked(units)) {
    case DistanceUnits::kKilometers:
      return nautical_miles * kKilometersPerNauticalMile;
    case DistanceUnits::kStatuteMiles:
      return nautical_miles * kStatuteMilesPerNauticalMile;
    case DistanceUnits::kNauticalMiles:
      break;
  }
  return nautical_miles;
}

double SpeedInUnits(double knots, DistanceUnits units) {
  // Knots are nautical miles per hour, so speed follows the distance factor.
  return DistanceInUnits(knots, units);
}

double AltitudeInUnits(double metres, DistanceUnits units) {
  return Checked(units) == DistanceUnits::kKilometers ? metres : metres * kFeetPerMetre;
}

std::string DistanceText(double nautical_miles, DistanceUnits units) {
  static constexpr std::array<std::string_view, 3> kSuffix = {"km", "mi", "nmi"};
  const DistanceUnits checked = Checked(units);
  return WithSuffix(DistanceInUnits(nautical_miles, checked), 3,
                    kSuffix[static_cast<int>(checked) - 1]);
}

std::string SpeedText(double knots, DistanceUnits units) {
  static constexpr std::array<std::string_view, 3> kSuffix = {"km/h", "mph", "kn"};
  const DistanceUnits checked = Checked(units);
  return WithSuffix(SpeedInUnits(knots, checked), 1, kSuffix[static_cast<int>(checked) - 1]);
}

std::string AltitudeText(double metres, DistanceUnits units) {
  const DistanceUnits checked = Checked(units);
  return WithSuffix(AltitudeInUnits(metres, checked), 1,
                    checked == DistanceUnits::kKilometers ? "m" : "ft");
}

std::string_view DistanceUnitName(DistanceUnits units) {
  static constexpr std::array<std::string_view, 3> kNames = {"Kilometers(km)", "Statute Miles(mi)",
                                                             "Nautical Miles(nmi)"};
  return kNames[static_cast<int>(Checked(units)) - 1];
}

std::string_view SpeedUnitName(DistanceUnits units) {
  static constexpr std::array<std::string_view, 3> kNames = {
      "Kilometer per Hour(km/h)", "Mile per Hour(mph)", "Nautical Mile per Hour(kn)"};
  return kNames[static_cast<int>(Checked(units)) - 1];
}

std::string_view AltitudeUnitName(DistanceUnits units) {
  return Checked(units) == DistanceUnits::kKilometers ? "Meters(m)" : "Feet(ft)";
}

std::string FixedText(double value, int precision) {
  // The largest double in fixed notation has 309 integer digits; leave room for sign,
  // point and decimals.
  std::array<char, 400> buffer{};
  const int digits = std::clamp(precision, 0, 60);
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::fixed, digits);
  if (error != std::errc{}) return "?";
  return std::string(buffer.data(), end);
}

}  // namespace orv
