#include "nmea/nmea_response.h"

#include "nmea/nmea_sentence.h"

namespace orv {

void NmeaResponse::Empty(int) {}

bool NmeaResponse::Parse(const NmeaSentence&) {
  return false;
}

bool NmeaResponse::ParseToPoint(const NmeaSentence&, TrackPoint&) {
  return false;
}

bool NmeaResponse::Write(NmeaSentence&) {
  return false;
}

bool NmeaResponse::WriteFromPoint(NmeaSentence&, const TrackPoint&) {
  return false;
}

std::string NmeaResponse::PlainEnglish() const {
  return {};
}

bool NmeaResponse::CopyFrom(const NmeaResponse& other) {
  if (other.mnemonic_ != mnemonic_) return false;
  talker_ = other.talker_;
  return true;
}

bool NmeaResponse::HasFieldsAndChecksum(const NmeaSentence& sentence, int minFields,
                                        int maxFields) {
  const int count = sentence.GetDataFieldCount();
  return count >= minFields && count <= maxFields &&
         sentence.IsChecksumBad() == NmeaBoolean::kFalse;
}

void NmeaResponse::BeginSentence(NmeaSentence& sentence) const {
  sentence.Clear();
  sentence.AppendRaw("$");
  sentence.AppendRaw(talker_);
  sentence.AppendRaw(mnemonic_);
}

}  // namespace orv
