#pragma once

#include <string>
#include <string_view>

#include "nmea/nmea_response.h"

namespace orv {

// Waypoint description, the program's own sentence (talker "POVR"):
//   $POVRWPD,HOME,Garage behind the house*hh
//            1    2
// Field 1 is the waypoint name, field 2 its description. In the database
// file it precedes the WPL line of the same waypoint.
class WpdSentence : public NmeaResponse {
 public:
  static constexpr int kDataFieldCount = 2;

  WpdSentence() : NmeaResponse("WPD", "POVR") {}

  void Empty(int valueSet) override;
  bool Parse(const NmeaSentence& sentence) override;
  bool Write(NmeaSentence& sentence) override;
  bool CopyFrom(const NmeaResponse& other) override;

  const std::string& Name() const { return name_; }
  const std::string& Description() const { return description_; }
  void SetDescription(std::string_view name, std::string_view description);

 private:
  std::string name_;
  std::string description_;
};

}  // namespace orv
