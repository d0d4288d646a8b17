#pragma once

#include <array>

#include "nmea/nmea_response.h"

namespace orv {

// Base of the GPS sentence types: each keeps two sets of its values, the
// last parsed sentence and the last generated one, so a caller can read
// either back after Parse or WriteFromPoint. Self is the sentence type, so
// CopyFrom accepts only an object of that very type.
template <typename Self, typename ValueSet>
class NmeaResponseWithValues : public NmeaResponse {
 public:
  using Values = ValueSet;

  using NmeaResponse::NmeaResponse;

  void Empty(int valueSet) override {
    if (valueSet == 1 || valueSet == 2) values_[valueSet - 1] = Values();
  }

  bool CopyFrom(const NmeaResponse& other) override {
    const auto* same = dynamic_cast<const Self*>(&other);
    if (same == nullptr) return false;
    values_ = same->values_;
    return NmeaResponse::CopyFrom(other);
  }

  const Values& Parsed() const { return values_[0]; }
  const Values& Generated() const { return values_[1]; }

 protected:
  // [0] parsed, [1] generated: the value-set numbers 1 and 2 of Empty.
  std::array<Values, 2> values_;
};

}  // namespace orv
