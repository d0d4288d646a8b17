#include "nmea/proprietary_lines.h"

#include "nmea/nmea_sentence.h"
#include "nmea/number_text.h"

namespace orv {
namespace {

constexpr std::string_view kProductText = "$POVRPVD,Orvelle Recorder 7 Beta,v7.9.85*";
constexpr std::string_view kMakerText = "$POVRCRT,Copyright 2010,Orvelle Records2010*";
constexpr std::string_view kPlaceholderText = "$POVR000,,*";

}  // namespace

std::optional<std::string> FinishHeadLine(std::string_view textEndingInStar) {
  if (textEndingInStar.size() >= kHeadLineLengthLimit) return std::nullopt;
  if (textEndingInStar.size() < 2 || textEndingInStar.front() != '$' ||
      textEndingInStar.back() != '*') {
    return std::nullopt;
  }
  // Finish writes the star again, with the checksum of what precedes it.
  textEndingInStar.remove_suffix(1);
  NmeaSentence sentence(textEndingInStar);
  sentence.Finish();
  return sentence.Text();
}

std::string ProductLine() {
  return *FinishHeadLine(kProductText);
}

std::string MakerLine() {
  return *FinishHeadLine(kMakerText);
}

std::optional<std::string> SourceLine(std::string_view sourceName, int channel) {
  std::string text = "$POVRSRC,";
  text += sourceName;
  if (channel != 0) {
    text += ",Channel:";
    AppendInteger(text, channel);
  }
  text += '*';
  return FinishHeadLine(text);
}

std::string PlaceholderLine() {
  return *FinishHeadLine(kPlaceholderText);
}

std::optional<std::string> WarningLine(std::string_view text) {
  std::string line = "$POVRWRG,WARNING!,";
  line += text;
  line += '*';
  return FinishHeadLine(line);
}

}  // namespace orv
