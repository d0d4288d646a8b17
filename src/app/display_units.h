#pragma once

#include <string>
#include <string_view>

namespace orv {

// The unit system the driving views show values in. Values inside the program stay in
// nautical miles, knots and metres; only the text carries the display unit.
enum class DistanceUnits : int {
  kKilometers = 1,
  kStatuteMiles = 2,
  kNauticalMiles = 3,
};

inline constexpr DistanceUnits kDefaultDistanceUnits = DistanceUnits::kNauticalMiles;

inline constexpr double kKilometersPerNauticalMile = 1.852;
inline constexpr double kStatuteMilesPerNauticalMile = 1.150779448;
inline constexpr double kFeetPerMetre = 3.280839895;

// Conversions into the display unit. The speed-limit warning compares the converted speed,
// so these are exposed apart from the text.
double DistanceInUnits(double nautical_miles, DistanceUnits units);
double SpeedInUnits(double knots, DistanceUnits units);
double AltitudeInUnits(double metres, DistanceUnits units);

// Value texts with their unit suffix, e.g. "12.345 km", "4.5 kn", "1200.0 ft".
std::string DistanceText(double nautical_miles, DistanceUnits units);
std::string SpeedText(double knots, DistanceUnits units);
std::string AltitudeText(double metres, DistanceUnits units);

// Unit names shown under the large user-selectable field.
std::string_view DistanceUnitName(DistanceUnits units);
std::string_view SpeedUnitName(DistanceUnits units);
std::string_view AltitudeUnitName(DistanceUnits units);
inline constexpr std::string_view kCourseUnitName = "Track made good(degrees)";
inline constexpr std::string_view kTimeUnitName = "d, h:m:s";

// Fixed-point text with `precision` decimals, rounded as printf("%.*f") does, but always
// with a decimal point whatever the process locale is.
std::string FixedText(double value, int precision);

}  // namespace orv
