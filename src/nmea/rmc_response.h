#pragma once

#include <string>

#include "nmea/fix_time.h"
#include "nmea/lat_long.h"
#include "nmea/nmea_codes.h"
#include "nmea/nmea_response_with_values.h"

namespace orv {

// The fields of one RMC sentence, as parsed or as generated.
struct RmcValues {
  FixTime time;
  std::string timeText;
  NmeaBoolean status = NmeaBoolean::kUnset;
  LatLong position;
  double speedKnots = 0.0;
  double trackDegrees = 0.0;
  double magneticVariation = 0.0;
  EastWest variationDirection = EastWest::kUnset;
  ModeIndicator mode = ModeIndicator::kUnset;
  NavigationalStatus navigationalStatus = NavigationalStatus::kUnset;
};

// RMC, recommended minimum data; 11 data fields, 12 with the mode indicator,
// 13 with the navigational status of NMEA 4.1.
//
//   $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
//          1      2 3        4 5         6 7     8     9      10    11
//
//   1 UTC time hhmmss (its date is field 9)   2 status (A valid, V warning)
//   3-6 latitude, N/S, longitude, E/W         7 speed over ground, knots
//   8 track made good, degrees true           9 date ddmmyy
//   10 magnetic variation, degrees            11 its direction E/W
//   12 mode indicator (NMEA 2.3 and later)
//   13 navigational status S, C, U or V (NMEA 4.1; kept, not used for the
//      point: receivers that do not assess it send V with every fix)
//
// Into a TrackPoint, only with status A and a whole position (both hemisphere
// letters): position, speed, course, variation and the full date. Any other
// RMC is refused like a warning, so the partial epoch is dropped.
class RmcResponse : public NmeaResponseWithValues<RmcResponse, RmcValues> {
 public:
  static constexpr int kMinDataFields = 11;
  static constexpr int kMaxDataFields = 13;

  RmcResponse() : NmeaResponseWithValues("RMC") {}

  bool Parse(const NmeaSentence& sentence) override;
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) override;
  bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) override;
  std::string PlainEnglish() const override;
};

}  // namespace orv
