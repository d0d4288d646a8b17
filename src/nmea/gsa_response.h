#pragma once

#include <array>
#include <cstdint>

#include "nmea/nmea_response_with_values.h"

namespace orv {

// The fields of one GSA sentence, as parsed or as generated.
struct GsaValues {
  static constexpr int kPrnSlots = 12;

  enum SelectionMode : int32_t { kSelectionUnset = 0, kManual = 1, kAutomatic = 2 };

  int32_t selectionMode = kSelectionUnset;
  int32_t fixType = 0;  // 1, 2 or 3; 0 for anything else
  std::array<int32_t, kPrnSlots> prns{};
  double pdop = 0.0;
  double hdop = 0.0;
  double vdop = 0.0;
  int32_t systemId = -1;  // -1: not given
};

// GSA, dilution of precision and active satellites; 17 data fields, or 18
// with the GNSS system id of NMEA 4.1.
//
//   $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39
//          1 2 3  4  5 6  7  ...       14 15  16  17
//
//   1 selection mode (A automatic, M manual)   2 fix type (1 none, 2 2D, 3 3D)
//   3-14 PRNs of the satellites used (empty slots read 0)
//   15 PDOP   16 HDOP   17 VDOP
//   18 system id, one hex digit (1 GPS, 2 GLONASS, 3 Galileo, 4 BeiDou, ...):
//      a multi-system receiver sends one GSA per system and epoch
//
// Into a TrackPoint: the twelve PRN slots.
class GsaResponse : public NmeaResponseWithValues<GsaResponse, GsaValues> {
 public:
  static constexpr int kDataFields = 17;
  static constexpr int kDataFieldsWithSystemId = 18;
  static constexpr int kPrnSlots = GsaValues::kPrnSlots;

  using SelectionMode = GsaValues::SelectionMode;
  using enum GsaValues::SelectionMode;

  GsaResponse() : NmeaResponseWithValues("GSA") {}

  bool Parse(const NmeaSentence& sentence) override;
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) override;
  bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) override;
};

}  // namespace orv
