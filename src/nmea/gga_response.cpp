#include "nmea/gga_response.h"

#include "nmea/nmea_sentence.h"
#include "nmea/number_text.h"
#include "nmea/track_point.h"

namespace orv {

bool GgaResponse::Parse(const NmeaSentence& sentence) {
  if (!HasFieldsAndChecksum(sentence, kDataFields, kDataFields)) return false;
  Values& v = values_[0];
  sentence.GetTime(1, 0, v.time, v.timeText);
  v.position.Decode(sentence, 2);
  v.quality = sentence.GetInteger(6);
  v.satellitesInUse = sentence.GetInteger(7);
  v.hdop = sentence.GetDouble(8);
  v.altitude = sentence.GetDouble(9);
  v.geoidalSeparation = sentence.GetDouble(11);
  v.differentialAge = sentence.GetDouble(13);
  v.differentialStation = sentence.GetInteger(14);
  return true;
}

bool GgaResponse::ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) {
  if (!Parse(sentence)) return false;
  const Values& v = values_[0];
  // Written before SetFixTime on purpose: a new epoch resets it, and the
  // track then refills it from the last known count.
  point.SetSatellitesInUse(v.satellitesInUse);
  // Some receivers claim a fix before they have a position: without both
  // hemisphere letters the point would carry unknown coordinates.
  if (v.quality != 0 && v.hdop <= kMaxUsableHdop && v.position.IsValid() &&
      point.SetFixTime(v.time)) {
    point.TakeEpochPosition(v.position);
    point.SetAltitudeMsl(v.altitude);
    point.SetGeoidSeparation(v.geoidalSeparation);
    point.SetGgaSeen(true);
    point.RecomputeComplete();
  }
  point.SetLastWasRmc(false);
  return true;
}

namespace {

// An unknown altitude (an RMC-only point) is left empty: its marker written
// as a number would be a 300-digit field and an unreadable sentence.
void AppendKnown(NmeaSentence& sentence, double metres) {
  if (metres == TrackPoint::kUnknown) {
    sentence.Append("");
  } else {
    sentence.Append(metres);
  }
}

}  // namespace

bool GgaResponse::WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) {
  // A played-back point claims a plain GPS fix from twelve satellites.
  Values& v = values_[1];
  v = Values();
  v.time = point.GetFixTime();
  v.position = point.Position();
  v.quality = 1;
  v.satellitesInUse = 12;
  v.hdop = 1.0;
  v.altitude = point.AltitudeMsl();
  v.geoidalSeparation = point.GeoidSeparation();

  BeginSentence(sentence);
  sentence.Append(v.time);
  sentence.Append(v.position);
  sentence.Append(v.quality);
  sentence.Append(v.satellitesInUse);
  sentence.Append(v.hdop);
  AppendKnown(sentence, v.altitude);
  sentence.Append("M");
  AppendKnown(sentence, v.geoidalSeparation);
  sentence.Append("M");
  sentence.Append("");
  sentence.Append("");
  sentence.Finish();
  return true;
}

std::string GgaResponse::PlainEnglish() const {
  const Values& v = values_[0];
  std::string text = "At ";
  v.time.AppendFormatted(text, "%I:%M.%S %p");
  text += " UTC, you were at ";
  text += v.position.PlainEnglish();
  text += ", ";
  switch (v.quality) {
    case 1:
      text += "based upon a GPS fix";
      break;
    case 2:
      text += "based upon a differential GPS fix";
      break;
    default:
      text += "a GPS fix was not available";
  }
  text += ", ";
  AppendInteger(text, v.satellitesInUse);
  text += " satellites are in use.";
  return text;
}

}  // namespace orv
