#include "nmea/gsa_response.h"

#include "nmea/nmea_sentence.h"
#include "nmea/number_text.h"
#include "nmea/track_point.h"

namespace orv {

bool GsaResponse::Parse(const NmeaSentence& sentence) {
  if (!HasFieldsAndChecksum(sentence, kDataFields, kDataFieldsWithSystemId)) return false;
  Values& v = values_[0];
  const std::string_view selection = sentence.FieldView(1);
  v.selectionMode = selection == "A" ? kAutomatic : selection == "M" ? kManual : kSelectionUnset;
  const int32_t fixType = sentence.GetInteger(2);
  v.fixType = fixType >= 1 && fixType <= 3 ? fixType : 0;
  for (int slot = 0; slot < kPrnSlots; ++slot) v.prns[slot] = sentence.GetInteger(3 + slot);
  v.pdop = sentence.GetDouble(15);
  v.hdop = sentence.GetDouble(16);
  v.vdop = sentence.GetDouble(17);
  v.systemId = sentence.GetDataFieldCount() == kDataFieldsWithSystemId
                   ? ParseHexDigit(sentence.FieldView(kDataFieldsWithSystemId))
                   : -1;
  return true;
}

bool GsaResponse::ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) {
  if (!Parse(sentence)) return false;
  point.CopyPrnsFrom(values_[0].prns);
  point.SetLastWasRmc(false);
  return true;
}

bool GsaResponse::WriteFromPoint(NmeaSentence& sentence, const TrackPoint&) {
  // Played-back points claim an automatic 3D fix from satellites 1 to 12.
  Values& v = values_[1];
  v.selectionMode = kAutomatic;
  v.fixType = 3;
  for (int slot = 0; slot < kPrnSlots; ++slot) v.prns[slot] = slot + 1;
  v.pdop = v.hdop = v.vdop = 1.0;

  BeginSentence(sentence);
  sentence.Append("A");
  sentence.Append("3");
  for (int32_t prn : v.prns) sentence.Append(prn);
  sentence.Append(v.pdop);
  sentence.Append(v.hdop);
  sentence.Append(v.vdop);
  sentence.Finish();
  return true;
}

}  // namespace orv
