#include "nmea/lat_long.h"

#include <cmath>

#include "nmea/nmea_sentence.h"
#include "nmea/number_text.h"

namespace orv {
namespace {

constexpr char kUnknownText[] = "UNKNOWN\xC2\xB0";
constexpr char kDegreeSign[] = "\xC2\xB0";

int ClampToInt(double value) {
  if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(value);
}

int32_t HemisphereOfLetter(char letter, char positive, char negative) {
  if (letter == positive) return 1;
  if (letter == negative) return 2;
  return 0;
}

void AppendPartText(std::string& out, int wholeDegrees, double minutes, int degreeWidth) {
  AppendInteger(out, wholeDegrees, degreeWidth, true);
  out.append(kDegreeSign);
  AppendFixed(out, minutes, 4, 7, true);
  out.push_back('\'');
}

}  // namespace

void LatLong::Part::Set(double rawValue, int32_t hemisphereCode, bool isLatitude) {
  raw = rawValue;
  hemisphere = hemisphereCode;
  if (hemisphereCode == 0) return;
  const double decimal = WholeDegreesOfRaw() + (raw - 100.0 * WholeDegreesOfRaw()) / 60.0;
  const bool positive = hemisphereCode == 1;
  degrees = positive ? decimal : -decimal;
  if (isLatitude) {
    fromReference = positive ? 90.0 - decimal : 90.0 + decimal;
  } else {
    fromReference = positive ? 180.0 + decimal : 180.0 - decimal;
  }
}

double LatLong::Part::WholeDegreesOfRaw() const {
  // The raw value truncated to an integer, then divided by 100 in integer
  // arithmetic; done in double so that huge or odd input cannot overflow.
  return std::trunc(std::trunc(raw) / 100.0);
}

int LatLong::Part::WholeDegrees() const {
  const double decimal = WholeDegreesOfRaw() + (raw - 100.0 * WholeDegreesOfRaw()) / 60.0;
  return ClampToInt(std::floor(std::fabs(decimal)));
}

double LatLong::Part::Minutes() const {
  return raw - 100.0 * WholeDegreesOfRaw();
}

double LatLong::Part::Seconds() const {
  const double minutes = Minutes();
  return (minutes - std::floor(minutes)) * 60.0;
}

bool LatLong::Part::operator==(const Part& other) const {
  return hemisphere == other.hemisphere && std::fabs(raw - other.raw) < 0.0001;
}

bool LatLong::Decode(const NmeaSentence& sentence, int firstField) {
  const std::string_view latitudeLetter = sentence.FieldView(firstField + 1);
  latitude_.Set(sentence.GetDouble(firstField),
                HemisphereOfLetter(latitudeLetter.empty() ? '\0' : latitudeLetter[0], 'N', 'S'),
                true);
  const std::string_view longitudeLetter = sentence.FieldView(firstField + 3);
  longitude_.Set(sentence.GetDouble(firstField + 2),
                 HemisphereOfLetter(longitudeLetter.empty() ? '\0' : longitudeLetter[0], 'E', 'W'),
                 false);
  return IsValid();
}

void LatLong::SetLatitude(double raw, NorthSouth hemisphere) {
  latitude_.Set(raw, static_cast<int32_t>(hemisphere), true);
}

void LatLong::SetLongitude(double raw, EastWest hemisphere) {
  longitude_.Set(raw, static_cast<int32_t>(hemisphere), false);
}

void LatLong::SetDegrees(double latitude, double longitude) {
  auto toRaw = [](double degrees) {
    const double magnitude = std::fabs(degrees);
    const double whole = std::floor(magnitude);
    return whole * 100.0 + (magnitude - whole) * 60.0;
  };
  latitude_.Set(toRaw(latitude), latitude < 0 ? 2 : 1, true);
  longitude_.Set(toRaw(longitude), longitude < 0 ? 2 : 1, false);
  // Keep the caller's degrees exactly rather than the round trip through minutes.
  latitude_.degrees = latitude;
  longitude_.degrees = longitude;
}

void LatLong::AppendTo(std::string& out) const {
  out.push_back(',');
  if (latitude_.raw != kNotSet) AppendFixed(out, latitude_.raw, 4, 9, true);
  out.push_back(',');
  if (latitude_.hemisphere == 1) out.push_back('N');
  if (latitude_.hemisphere == 2) out.push_back('S');
  out.push_back(',');
  if (longitude_.raw != kNotSet) AppendFixed(out, longitude_.raw, 4, 10, true);
  out.push_back(',');
  if (longitude_.hemisphere == 1) out.push_back('E');
  if (longitude_.hemisphere == 2) out.push_back('W');
}

std::string LatLong::LatitudeText() const {
  if (!latitude_.IsValid()) return kUnknownText;
  std::string text = latitude_.hemisphere == 1 ? "N " : "S ";
  AppendPartText(text, latitude_.WholeDegrees(), latitude_.Minutes(), 2);
  return text;
}

std::string LatLong::LongitudeText() const {
  if (!longitude_.IsValid()) return kUnknownText;
  std::string text = longitude_.hemisphere == 1 ? "E " : "W ";
  AppendPartText(text, longitude_.WholeDegrees(), longitude_.Minutes(), 3);
  return text;
}

std::string LatLong::PlainEnglish() const {
  std::string text = "Latitude ";
  AppendInteger(text, latitude_.WholeDegrees());
  text.push_back(' ');
  AppendFixed(text, latitude_.Minutes(), 5, 8);
  text.append(latitude_.hemisphere == 1 ? " North, " : " South, ");
  text.append("Longitude ");
  AppendInteger(text, longitude_.WholeDegrees());
  text.push_back(' ');
  AppendFixed(text, longitude_.Minutes(), 5, 8);
  text.append(longitude_.hemisphere == 1 ? " East" : " West");
  return text;
}

bool operator==(const LatLong& a, const LatLong& b) {
  return a.latitude_ == b.latitude_ && a.longitude_ == b.longitude_;
}

}  // namespace orv
