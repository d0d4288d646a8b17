#include "nmea/rmc_response.h"

#include "nmea/nmea_sentence.h"
#include "nmea/number_text.h"
#include "nmea/track_point.h"

namespace orv {
namespace {

NavigationalStatus ReadNavigationalStatus(std::string_view field) {
  if (field.size() != 1) return NavigationalStatus::kUnset;
  switch (field[0]) {
    case 'S':
    case 'C':
    case 'U':
    case 'V':
      return static_cast<NavigationalStatus>(field[0]);
    default:
      return NavigationalStatus::kUnset;
  }
}

}  // namespace

bool RmcResponse::Parse(const NmeaSentence& sentence) {
  if (!HasFieldsAndChecksum(sentence, kMinDataFields, kMaxDataFields)) return false;
  const int fields = sentence.GetDataFieldCount();
  Values& v = values_[0];
  sentence.GetTime(1, 9, v.time, v.timeText);
  v.status = sentence.GetBoolean(2);
  v.position.Decode(sentence, 3);
  v.speedKnots = sentence.GetDouble(7);
  v.trackDegrees = sentence.GetDouble(8);
  v.magneticVariation = sentence.GetDouble(10);
  v.variationDirection = sentence.GetEastWest(11);
  v.mode = fields >= 12 ? sentence.GetModeIndicator(12) : ModeIndicator::kUnset;
  v.navigationalStatus =
      fields >= 13 ? ReadNavigationalStatus(sentence.FieldView(13)) : NavigationalStatus::kUnset;
  return true;
}

bool RmcResponse::ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) {
  if (!Parse(sentence)) return false;
  const Values& v = values_[0];
  // A valid status without a whole position is no fix either: taking it
  // would complete a point with unknown coordinates.
  if (v.status != NmeaBoolean::kTrue || !v.position.IsValid() || !point.SetFixTime(v.time)) {
    return false;
  }
  point.TakeEpochPosition(v.position);
  point.SetSpeedKnots(v.speedKnots);
  point.SetCourseDegrees(v.trackDegrees);
  point.SetMagneticVariation(v.magneticVariation);
  point.SetVariationDirection(v.variationDirection);
  point.SetRmcSeen(true);
  point.RecomputeComplete();
  point.SetLastWasRmc(true);
  return true;
}

bool RmcResponse::WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) {
  Values& v = values_[1];
  v = Values();
  v.time = point.GetFixTime();
  v.status = NmeaBoolean::kTrue;
  v.position = point.Position();
  v.speedKnots = point.SpeedKnots();
  v.trackDegrees = point.CourseDegrees();
  v.magneticVariation = point.MagneticVariation();
  v.variationDirection = point.VariationDirection();

  BeginSentence(sentence);
  sentence.Append(v.time);
  sentence.Append(v.status);
  sentence.Append(v.position);
  sentence.Append(v.speedKnots);
  sentence.Append(v.trackDegrees);
  const std::string dateText = v.time.Format("%d%m%y");
  sentence.Append(dateText);
  sentence.Append(v.magneticVariation);
  sentence.Append(v.variationDirection);
  sentence.Finish();
  return true;
}

std::string RmcResponse::PlainEnglish() const {
  const Values& v = values_[0];
  std::string text = "At ";
  v.time.AppendFormatted(text, "%I:%M.%S %p");
  text += " UTC, you were at ";
  text += v.position.PlainEnglish();
  text += ", making ";
  AppendFixed(text, v.speedKnots, 2);
  text += " knots, track made good ";
  AppendFixed(text, v.trackDegrees, 2);
  text += " degrees true.";
  return text;
}

}  // namespace orv
