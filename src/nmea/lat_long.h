#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "nmea/nmea_codes.h"

namespace orv {

class NmeaSentence;

// A position as NMEA carries it: latitude ddmm.mmmm and longitude dddmm.mmmm
// with hemisphere letters, plus the signed decimal degrees and the
// pole-referenced degrees derived from them. The largest finite double marks
// a value that is not set.
class LatLong {
 public:
  static constexpr double kNotSet = std::numeric_limits<double>::max();

  LatLong() = default;

  void Reset() { *this = LatLong(); }

  // Reads fields first..first+3 (latitude, N/S, longitude, E/W). A hemisphere
  // letter other than N/S or E/W stores the raw value, unsets the hemisphere
  // and keeps the previous derived values. True when both parts are valid.
  bool Decode(const NmeaSentence& sentence, int firstField);

  // Appends the four fields ",ddmm.mmmm,N,dddmm.mmmm,E"; unset parts are empty.
  void AppendTo(std::string& sentenceText) const;

  // Sets a part from its NMEA raw number and hemisphere.
  void SetLatitude(double raw, NorthSouth hemisphere);
  void SetLongitude(double raw, EastWest hemisphere);
  // Sets both parts from signed decimal degrees (positive north and east).
  void SetDegrees(double latitude, double longitude);

  double LatitudeRaw() const { return latitude_.raw; }
  double LatitudeDegrees() const { return latitude_.degrees; }
  // Degrees from the North pole: 90 - latitude.
  double LatitudeFromPole() const { return latitude_.fromReference; }
  NorthSouth LatitudeHemisphere() const { return static_cast<NorthSouth>(latitude_.hemisphere); }

  double LongitudeRaw() const { return longitude_.raw; }
  double LongitudeDegrees() const { return longitude_.degrees; }
  // Degrees eastward from 180 W: 180 + longitude.
  double LongitudeFrom180West() const { return longitude_.fromReference; }
  EastWest LongitudeHemisphere() const { return static_cast<EastWest>(longitude_.hemisphere); }

  bool IsLatitudeValid() const { return latitude_.IsValid(); }
  bool IsLongitudeValid() const { return longitude_.IsValid(); }
  bool IsValid() const { return IsLatitudeValid() && IsLongitudeValid(); }

  // Unsigned whole degrees, minutes and seconds of each part.
  int LatitudeWholeDegrees() const { return latitude_.WholeDegrees(); }
  double LatitudeMinutes() const { return latitude_.Minutes(); }
  double LatitudeSeconds() const { return latitude_.Seconds(); }
  int LongitudeWholeDegrees() const { return longitude_.WholeDegrees(); }
  double LongitudeMinutes() const { return longitude_.Minutes(); }
  double LongitudeSeconds() const { return longitude_.Seconds(); }

  // UTF-8 display texts: "N 48°07.0380'", "E 011°31.0000'"; "UNKNOWN°" when not valid.
  std::string LatitudeText() const;
  std::string LongitudeText() const;
  // "Latitude 48  7.03800 North, Longitude 11 31.00000 East".
  std::string PlainEnglish() const;

  // Same hemispheres and raw values closer than 0.0001 (ddmm.mmmm units).
  friend bool operator==(const LatLong& a, const LatLong& b);

 private:
  struct Part {
    double raw = kNotSet;
    double degrees = kNotSet;        // signed decimal degrees
    double fromReference = kNotSet;  // from the North pole or from 180 W
    int32_t hemisphere = 0;          // 1 north/east, 2 south/west

    bool IsValid() const { return hemisphere == 1 || hemisphere == 2; }
    // Sets raw and, for hemisphere 1 or 2, the derived values; latitude is
    // referenced to the North pole, longitude to 180 W.
    void Set(double rawValue, int32_t hemisphereCode, bool isLatitude);
    double WholeDegreesOfRaw() const;
    int WholeDegrees() const;
    double Minutes() const;
    double Seconds() const;
    bool operator==(const Part& other) const;
  };

  Part latitude_;
  Part longitude_;
};

}  // namespace orv
