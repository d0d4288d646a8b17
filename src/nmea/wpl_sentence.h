#pragma once

#include <string>
#include <string_view>

#include "nmea/lat_long.h"
#include "nmea/nmea_response.h"

namespace orv {

// Waypoint location, one waypoint per sentence:
//   $GPWPL,4807.0380,N,01131.0000,E,HOME*hh
//          1         2 3          4 5
// Fields 1-4 are the position, field 5 the waypoint name. The object keeps
// the last accepted values for the navigation database to take, and the
// same values are what Write generates.
class WplSentence : public NmeaResponse {
 public:
  static constexpr int kDataFieldCount = 5;

  WplSentence() : NmeaResponse("WPL") {}

  void Empty(int valueSet) override;
  bool Parse(const NmeaSentence& sentence) override;
  bool Write(NmeaSentence& sentence) override;
  bool CopyFrom(const NmeaResponse& other) override;

  const LatLong& Position() const { return position_; }
  const std::string& Name() const { return name_; }
  void SetWaypoint(const LatLong& position, std::string_view name);

 private:
  LatLong position_;
  std::string name_;
};

}  // namespace orv
