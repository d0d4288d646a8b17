#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "nmea/line_limits.h"
#include "nmea/nmea_sentence.h"

namespace orv {

class NmeaResponse;
class TrackPoint;

// Routes a framed sentence to the typed sentence object whose mnemonic it
// bears. The responses are not owned: the object that embeds the parser
// embeds them too, adds them once and sorts the table.
class NmeaParser {
 public:
  // What happened to a sentence handed to Dispatch.
  enum class Outcome {
    kIgnored,   // framing failed or no response for the mnemonic
    kRejected,  // the response refused it (field count, checksum, content)
    kAccepted
  };

  NmeaParser() = default;
  NmeaParser(const NmeaParser&) = delete;
  NmeaParser& operator=(const NmeaParser&) = delete;
  virtual ~NmeaParser() = default;

  // Adds a response (and becomes its owner); call SortResponses afterwards.
  void AddResponse(NmeaResponse& response);
  // Ascending byte-wise order of mnemonics, by adjacent exchanges.
  void SortResponses();
  size_t ResponseCount() const { return responses_.size(); }
  NmeaResponse& ResponseAt(size_t index) const { return *responses_[index]; }

  // The ordered walk of the sorted table; null when absent.
  NmeaResponse* FindResponse(std::string_view mnemonic) const;

  NmeaSentence& Sentence() { return sentence_; }
  const NmeaSentence& Sentence() const { return sentence_; }

  // Framing of the current sentence: at most kMaxReadLineLength bytes, "$"
  // first, CR LF last.
  bool IsGood() const { return IsGoodSentence(sentence_.View()); }
  // Writers pass kMaxWriteLineLength.
  static bool IsGoodSentence(std::string_view text, size_t maxLength = kMaxReadLineLength);
  // Framing of a text of several lines: no line (up to and including its LF)
  // longer than maxLineLength bytes, "$" first and CR LF last.
  bool IsGoodLines(std::string_view text, size_t maxLineLength = kMaxReadLineLength);

  // The last three characters of field 0: GPGGA, GNGGA -> GGA, POVRWPD -> WPD.
  static std::string_view MnemonicOf(const NmeaSentence& sentence);

  // Takes text as the current sentence, checks its framing and hands it to
  // the response for its mnemonic.
  Outcome Dispatch(std::string_view text, TrackPoint& point);
  Outcome Dispatch(std::string_view text);
  // The response that last accepted or rejected a sentence; null after kIgnored.
  NmeaResponse* LastResponse() const { return lastResponse_; }

 private:
  NmeaResponse* FrameAndFind(std::string_view text);

  std::vector<NmeaResponse*> responses_;
  NmeaSentence sentence_;
  NmeaSentence linesSentence_;
  NmeaResponse* lastResponse_ = nullptr;
};

}  // namespace orv
