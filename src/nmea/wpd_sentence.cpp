#include "nmea/wpd_sentence.h"

#include "nmea/nmea_sentence.h"

namespace orv {

void WpdSentence::Empty(int) {
  name_.clear();
  description_.clear();
}

bool WpdSentence::Parse(const NmeaSentence& sentence) {
  if (sentence.GetDataFieldCount() != kDataFieldCount) return false;
  if (sentence.IsChecksumBad() != NmeaBoolean::kFalse) return false;
  name_.assign(sentence.FieldView(1));
  description_.assign(sentence.FieldView(2));
  return true;
}

bool WpdSentence::Write(NmeaSentence& sentence) {
  BeginSentence(sentence);
  sentence.Append(name_);
  sentence.Append(description_);
  sentence.Finish();
  return true;
}

bool WpdSentence::CopyFrom(const NmeaResponse& other) {
  const auto* wpd = dynamic_cast<const WpdSentence*>(&other);
  if (wpd == nullptr || !NmeaResponse::CopyFrom(other)) return false;
  name_ = wpd->name_;
  description_ = wpd->description_;
  return true;
}

void WpdSentence::SetDescription(std::string_view name, std::string_view description) {
  name_.assign(name);
  description_.assign(description);
}

}  // namespace orv
