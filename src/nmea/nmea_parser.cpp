#include "nmea/nmea_parser.h"

#include <utility>

#include "nmea/nmea_response.h"

namespace orv {

void NmeaParser::AddResponse(NmeaResponse& response) {
  response.SetOwner(this);
  responses_.push_back(&response);
}

void NmeaParser::SortResponses() {
  // The table holds a handful of entries, sorted once at construction.
  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    for (size_t i = 1; i < responses_.size(); ++i) {
      if (responses_[i]->Mnemonic() < responses_[i - 1]->Mnemonic()) {
        std::swap(responses_[i], responses_[i - 1]);
        exchanged = true;
      }
    }
  }
}

NmeaResponse* NmeaParser::FindResponse(std::string_view mnemonic) const {
  for (NmeaResponse* response : responses_) {
    const int order = std::string_view(response->Mnemonic()).compare(mnemonic);
    if (order == 0) return response;
    if (order > 0) break;
  }
  return nullptr;
}

bool NmeaParser::IsGoodSentence(std::string_view text, size_t maxLength) {
  const size_t size = text.size();
  return size <= maxLength && size >= 2 && text[0] == '$' && text[size - 2] == '\r' &&
         text[size - 1] == '\n';
}

bool NmeaParser::IsGoodLines(std::string_view text, size_t maxLineLength) {
  linesSentence_.Assign(text);
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t newline = text.find('\n', lineStart);
    size_t lineEnd = newline == std::string_view::npos ? text.size() : newline + 1;
    if (lineEnd - lineStart > maxLineLength) return false;
    lineStart = lineEnd;
  }
  const size_t size = text.size();
  return size >= 2 && text[0] == '$' && text[size - 2] == '\r' && text[size - 1] == '\n';
}

std::string_view NmeaParser::MnemonicOf(const NmeaSentence& sentence) {
  std::string_view address = sentence.FieldView(0);
  return address.size() <= 3 ? address : address.substr(address.size() - 3);
}

NmeaResponse* NmeaParser::FrameAndFind(std::string_view text) {
  sentence_.Assign(text);
  lastResponse_ = nullptr;
  if (!IsGood()) return nullptr;
  lastResponse_ = FindResponse(MnemonicOf(sentence_));
  return lastResponse_;
}

NmeaParser::Outcome NmeaParser::Dispatch(std::string_view text, TrackPoint& point) {
  NmeaResponse* response = FrameAndFind(text);
  if (response == nullptr) return Outcome::kIgnored;
  return response->ParseToPoint(sentence_, point) ? Outcome::kAccepted : Outcome::kRejected;
}

NmeaParser::Outcome NmeaParser::Dispatch(std::string_view text) {
  NmeaResponse* response = FrameAndFind(text);
  if (response == nullptr) return Outcome::kIgnored;
  return response->Parse(sentence_) ? Outcome::kAccepted : Outcome::kRejected;
}

}  // namespace orv
