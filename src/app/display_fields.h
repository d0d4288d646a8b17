#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/display_units.h"

namespace orv {

// Fields of the data panel and the track statistics pages, numbered as the statistics
// layout stores them; kBlank leaves a row empty.
enum class DisplayField : int {
  kBlank = 0,
  kTrip = 2,
  kTripFromBegin = 3,
  kTripToEnd = 4,
  kSpeed = 5,
  kMaxSpeed = 6,
  kAverageSpeed = 7,
  kAltitude = 8,
  kMaxAltitude = 9,
  kMinAltitude = 10,
  kTrack = 11,
  kLatitude = 12,
  kLongitude = 13,
  kElapsedTime = 14,
  kMovingTime = 15,
  kStoppedTime = 16,
  kTimeFromBegin = 17,
  kTimeToEnd = 18,
  kPointTime = 19,
};

// The label drawn left of a field's value, e.g. "TRIP: "; empty for the point time and
// for blanks, which have none.
std::string_view DisplayFieldLabel(DisplayField field);
inline constexpr std::string_view kSatellitesLabel = "Satellites: ";

// The field shown large in the panel, as chosen under View > User-Selectable Field.
enum class UserSelectableField : int {
  kTrip = 1,
  kSpeed = 2,
  kTrack = 3,
  kAltitude = 4,
  kElapsedTime = 5,
};

// "Trip Odometer(TRIP)" and the like; empty for an unknown value.
std::string_view UserFieldTitle(UserSelectableField field);
// The unit name drawn under the large field in the chosen unit system.
std::string_view UserFieldUnitName(UserSelectableField field, DistanceUnits units);
inline constexpr std::string_view kUserFieldHeading = "USF";
inline constexpr std::string_view kAltitudeReference = "MSL";

inline constexpr std::string_view kUnknownText = "Unknown";

// Eight-point compass letters of a course in degrees; each sector includes its upper bound.
std::string_view CompassLetters(double course_degrees);

// "TRK: " value: the course with its compass letters while moving, else "Unknown" since a
// course over ground means nothing at rest.
std::string TrackText(double course_degrees, double speed_knots);

// Which altitude a value belongs to; each has its own "not yet set" marker.
enum class AltitudeKind {
  kCurrent,  // unset: the largest double
  kMaximum,  // unset: the negative of the largest double
  kMinimum,  // unset: the largest double
};
std::string AltitudeFieldText(double metres, AltitudeKind kind, DistanceUnits units);

// Satellite line from the counts in view and in use (-1 = unknown) and the remembered PRN
// list (an empty list or a first entry of 0 means none). The SBAS tags follow the counts.
std::string SatellitesText(int in_view, int in_use, std::span<const int> prns);

// SpeedLimit setting value that switches the warning off.
inline constexpr int kNoSpeedLimit = -1;
// True when the warning sign is due: a limit is set and the speed, in the display unit the
// limit is given in, has reached it.
bool SpeedLimitReached(double speed_knots, int speed_limit, DistanceUnits units);
// The number drawn inside the warning sign.
std::string SpeedLimitText(int speed_limit);

}  // namespace orv
