#include "nmea/vtg_response.h"

#include "nmea/nmea_sentence.h"
#include "nmea/track_point.h"

namespace orv {

bool VtgResponse::Parse(const NmeaSentence& sentence) {
  if (!HasFieldsAndChecksum(sentence, 8, 9)) return false;
  Values& v = values_[0];
  v.trackTrue = sentence.GetDouble(1);
  v.trackMagnetic = sentence.GetDouble(3);
  v.speedKnots = sentence.GetDouble(5);
  v.speedKmh = sentence.GetDouble(7);
  v.mode = sentence.GetDataFieldCount() == 9 ? sentence.GetModeIndicator(9) : ModeIndicator::kUnset;
  return true;
}

bool VtgResponse::ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) {
  if (!Parse(sentence)) return false;
  point.SetLastWasRmc(false);
  return true;
}

bool VtgResponse::WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) {
  Values& v = values_[1];
  v = Values();
  v.trackTrue = point.CourseDegrees();
  v.speedKnots = point.SpeedKnots();
  v.speedKmh = point.SpeedKnots() * kKilometresPerNauticalMile;

  BeginSentence(sentence);
  sentence.Append(v.trackTrue);
  sentence.Append("T");
  sentence.Append("");
  sentence.Append("M");
  sentence.Append(v.speedKnots);
  sentence.Append("N");
  sentence.Append(v.speedKmh);
  sentence.Append("K");
  sentence.Finish();
  return true;
}

}  // namespace orv
