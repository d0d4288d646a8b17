#include "nmea/gsv_response.h"

#include "nmea/number_text.h"
#include "nmea/track_point.h"

namespace orv {

void GsvResponse::Bouncer::Step(int32_t lowTurn, int32_t highTurn) {
  if (!goingUp) {
    if (value < lowTurn) {
      goingUp = true;
    } else {
      --value;
    }
  } else if (value < highTurn) {
    ++value;
  } else {
    goingUp = false;
  }
}

bool GsvResponse::Parse(const NmeaSentence& sentence) {
  if (!HasFieldsAndChecksum(sentence, 0, kMaxDataFields)) return false;
  int32_t total = sentence.GetInteger(1);
  if (total == 0 || total > kMaxSentences) total = kMaxSentences;
  const int32_t number = sentence.GetInteger(2);
  if (number < 1 || number > total) return false;

  Values& v = values_[0];
  v.totalSentences = total;
  v.sentenceNumber = number;
  const int32_t inView = sentence.GetInteger(3);
  v.satellitesInView = inView > kMaxSatellites ? kMaxSatellites : inView;
  const int fields = sentence.GetDataFieldCount();
  const bool hasSignalId = fields >= 4 && fields % 4 == 0;
  v.signalId = hasSignalId ? ParseHexDigit(sentence.FieldView(fields)) : -1;
  // The signal id is no satellite field: groups end before it.
  const int lastSatelliteField = hasSignalId ? fields - 1 : fields;
  auto satelliteField = [&](int field) {
    return field <= lastSatelliteField ? sentence.FieldView(field) : std::string_view();
  };
  for (int k = 0; k < kSatellitesPerSentence; ++k) {
    const int slot = (number - 1) * kSatellitesPerSentence + k;
    if (slot >= kMaxSatellites) break;
    Satellite& satellite = v.satellites[slot];
    const int first = 4 + 4 * k;
    satellite.prn = ParseInteger(satelliteField(first));
    satellite.elevation = ParseInteger(satelliteField(first + 1));
    satellite.azimuth = ParseInteger(satelliteField(first + 2));
    const std::string_view snr = satelliteField(first + 3);
    satellite.snr = snr.empty() ? -1 : ParseInteger(snr);
  }
  return true;
}

bool GsvResponse::ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) {
  if (!Parse(sentence)) return false;
  point.SetSatellitesInView(values_[0].satellitesInView);
  point.SetLastWasRmc(false);
  return true;
}

bool GsvResponse::WriteFromPoint(NmeaSentence& sentence, const TrackPoint&) {
  elevation_.Step(2, 89);
  azimuthOffset_.Step(2, 29);

  Values& v = values_[1];
  v.totalSentences = kGeneratedSentences;
  v.satellitesInView = kMaxSatellites;
  for (int i = 0; i < kMaxSatellites; ++i) {
    v.satellites[i] = Satellite{i + 1, elevation_.value, i * 30 + azimuthOffset_.value, 40};
  }

  sentence.Clear();
  for (int32_t number = 1; number <= kGeneratedSentences; ++number) {
    v.sentenceNumber = number;
    BeginSentence(line_);
    line_.Append(v.totalSentences);
    line_.Append(number);
    line_.Append(v.satellitesInView);
    for (int k = 0; k < kSatellitesPerSentence; ++k) {
      const Satellite& satellite = v.satellites[(number - 1) * kSatellitesPerSentence + k];
      line_.Append(satellite.prn);
      line_.Append(satellite.elevation);
      line_.Append(satellite.azimuth);
      line_.Append(satellite.snr);
    }
    line_.Finish();
    sentence.AppendRaw(line_.View());
  }
  return true;
}

}  // namespace orv
