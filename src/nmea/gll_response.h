#pragma once

#include <array>
#include <string>

#include "nmea/fix_time.h"
#include "nmea/lat_long.h"
#include "nmea/nmea_codes.h"
#include "nmea/nmea_response.h"

namespace orv {

// GLL, geographic position; 6 data fields, or 7 with the mode indicator.
//
//   $GPGLL,4916.45,N,12311.12,W,225444,A*31
//          1       2 3        4 5      6
//
//   1-4 latitude, N/S, longitude, E/W   5 UTC time hhmmss
//   6 status (A valid, V invalid)       7 mode indicator (NMEA 2.3 and later)
//
// Gives a TrackPoint nothing but the end of an RMC run.
class GllResponse : public NmeaResponse {
 public:
  struct Values {
    LatLong position;
    FixTime time;
    std::string timeText;
    NmeaBoolean status = NmeaBoolean::kUnset;
    ModeIndicator mode = ModeIndicator::kUnset;
  };

  GllResponse() : NmeaResponse("GLL") {}

  void Empty(int valueSet) override;
  bool Parse(const NmeaSentence& sentence) override;
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) override;
  bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) override;
  std::string PlainEnglish() const override;
  bool CopyFrom(const NmeaResponse& other) override;

  const Values& Parsed() const { return values_[0]; }
  const Values& Generated() const { return values_[1]; }

 private:
  std::array<Values, 2> values_;
};

}  // namespace orv
