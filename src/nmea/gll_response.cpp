#include "nmea/gll_response.h"

#include "nmea/nmea_sentence.h"
#include "nmea/track_point.h"

namespace orv {

bool GllResponse::Parse(const NmeaSentence& sentence) {
  if (!HasFieldsAndChecksum(sentence, 6, 7)) return false;
  Values& v = values_[0];
  v.position.Decode(sentence, 1);
  sentence.GetTime(5, 0, v.time, v.timeText);
  v.status = sentence.GetBoolean(6);
  v.mode = sentence.GetDataFieldCount() == 7 ? sentence.GetModeIndicator(7) : ModeIndicator::kUnset;
  return true;
}

bool GllResponse::ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) {
  if (!Parse(sentence)) return false;
  point.SetLastWasRmc(false);
  return true;
}

bool GllResponse::WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) {
  Values& v = values_[1];
  v = Values();
  v.position = point.Position();
  v.time = point.GetFixTime();
  v.status = NmeaBoolean::kTrue;

  BeginSentence(sentence);
  sentence.Append(v.position);
  sentence.Append(v.time);
  sentence.Append(v.status);
  sentence.Finish();
  return true;
}

std::string GllResponse::PlainEnglish() const {
  const Values& v = values_[0];
  std::string text = "At ";
  v.time.AppendFormatted(text, "%I:%M.%S %p");
  text += " UTC, you were at ";
  text += v.position.PlainEnglish();
  text += ".";
  return text;
}

}  // namespace orv
