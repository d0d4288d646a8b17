#pragma once

#include <cstdint>
#include <string>

#include "nmea/fix_time.h"
#include "nmea/lat_long.h"
#include "nmea/nmea_response_with_values.h"

namespace orv {

// The fields of one GGA sentence, as parsed or as generated.
struct GgaValues {
  FixTime time;
  std::string timeText;
  LatLong position;
  int32_t quality = 0;
  int32_t satellitesInUse = 0;
  double hdop = 0.0;
  double altitude = 0.0;
  double geoidalSeparation = 0.0;
  double differentialAge = 0.0;
  int32_t differentialStation = 0;
};

// GGA, global positioning fix data; exactly 14 data fields.
//
//   $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
//          1      2        3 4         5 6 7  8   9     10 11 12 13 14
//
//   1 UTC time hhmmss(.ss)        8 horizontal dilution of precision
//   2-5 latitude, N/S, longitude, E/W   9 altitude above mean sea level
//   6 fix quality (0 none, 1 GPS, 2 DGPS)   10 unit (M, not read)
//   7 satellites in use           11 geoidal separation, 12 its unit (not read)
//   13 age of differential data   14 differential station id
//
// Into a TrackPoint: the satellites in use always; position, altitude and
// geoidal separation only from a fix (quality not 0) with HDOP at most 10.0
// and a whole position (both hemisphere letters).
class GgaResponse : public NmeaResponseWithValues<GgaResponse, GgaValues> {
 public:
  static constexpr int kDataFields = 14;
  static constexpr double kMaxUsableHdop = 10.0;

  GgaResponse() : NmeaResponseWithValues("GGA") {}

  bool Parse(const NmeaSentence& sentence) override;
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) override;
  bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) override;
  std::string PlainEnglish() const override;
};

}  // namespace orv
