#include "nmea/wpl_sentence.h"

#include "nmea/nmea_sentence.h"

namespace orv {

void WplSentence::Empty(int) {
  position_.Reset();
  name_.clear();
}

bool WplSentence::Parse(const NmeaSentence& sentence) {
  if (sentence.GetDataFieldCount() != kDataFieldCount) return false;
  if (sentence.IsChecksumBad() != NmeaBoolean::kFalse) return false;
  // Decode into a fresh value: a hemisphere letter that is not N/S or E/W
  // must not leave the previous waypoint's degrees behind.
  LatLong position;
  position.Decode(sentence, 1);
  position_ = position;
  name_.assign(sentence.FieldView(5));
  return true;
}

bool WplSentence::Write(NmeaSentence& sentence) {
  BeginSentence(sentence);
  sentence.Append(position_);
  sentence.Append(name_);
  sentence.Finish();
  return true;
}

bool WplSentence::CopyFrom(const NmeaResponse& other) {
  const auto* wpl = dynamic_cast<const WplSentence*>(&other);
  if (wpl == nullptr || !NmeaResponse::CopyFrom(other)) return false;
  position_ = wpl->position_;
  name_ = wpl->name_;
  return true;
}

void WplSentence::SetWaypoint(const LatLong& position, std::string_view name) {
  position_ = position;
  name_.assign(name);
}

}  // namespace orv
