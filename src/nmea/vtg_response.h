#pragma once

#include "nmea/nmea_codes.h"
#include "nmea/nmea_response_with_values.h"

namespace orv {

// The fields of one VTG sentence, as parsed or as generated.
struct VtgValues {
  double trackTrue = 0.0;
  double trackMagnetic = 0.0;
  double speedKnots = 0.0;
  double speedKmh = 0.0;
  ModeIndicator mode = ModeIndicator::kUnset;
};

// VTG, track made good and ground speed; 8 data fields, or 9 with the mode indicator.
//
//   $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48
//          1     2 3     4 5     6 7     8
//
//   1 track, degrees true (2 "T")      3 track, degrees magnetic (4 "M")
//   5 speed, knots (6 "N")             7 speed, km/h (8 "K")
//   9 mode indicator (NMEA 2.3 and later); the unit letters are not read
//
// Gives a TrackPoint nothing but the end of an RMC run.
class VtgResponse : public NmeaResponseWithValues<VtgResponse, VtgValues> {
 public:
  static constexpr double kKilometresPerNauticalMile = 1.852;

  VtgResponse() : NmeaResponseWithValues("VTG") {}

  bool Parse(const NmeaSentence& sentence) override;
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) override;
  bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) override;
};

}  // namespace orv
