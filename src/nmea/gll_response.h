#pragma once

#include <string>

#include "nmea/fix_time.h"
#include "nmea/lat_long.h"
#include "nmea/nmea_codes.h"
#include "nmea/nmea_response_with_values.h"

namespace orv {

// The fields of one GLL sentence, as parsed or as generated.
struct GllValues {
  LatLong position;
  FixTime time;
  std::string timeText;
  NmeaBoolean status = NmeaBoolean::kUnset;
  ModeIndicator mode = ModeIndicator::kUnset;
};

// GLL, geographic position; 6 data fields, or 7 with the mode indicator.
//
//   $GPGLL,4916.45,N,12311.12,W,225444,A*31
//          1       2 3        4 5      6
//
//   1-4 latitude, N/S, longitude, E/W   5 UTC time hhmmss
//   6 status (A valid, V invalid)       7 mode indicator (NMEA 2.3 and later)
//
// Gives a TrackPoint nothing but the end of an RMC run.
class GllResponse : public NmeaResponseWithValues<GllResponse, GllValues> {
 public:
  GllResponse() : NmeaResponseWithValues("GLL") {}

  bool Parse(const NmeaSentence& sentence) override;
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) override;
  bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) override;
  std::string PlainEnglish() const override;
};

}  // namespace orv
