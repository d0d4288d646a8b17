#include "app/playback_burst_writer.h"

#include "app/track.h"
#include "nmea/track_point.h"

namespace orv {

void PlaybackBurstWriter::AppendSentence(NmeaResponse& response, const TrackPoint& point,
                                         std::string& out) {
  sentence_.Clear();
  if (response.WriteFromPoint(sentence_, point)) out += sentence_.View();
}

void PlaybackBurstWriter::WriteBurst(const TrackPoint& point, std::string& out) {
  out.clear();
  AppendSentence(gga_, point, out);
  AppendSentence(gsa_, point, out);
  if (stepsSinceGsv_ == kStepsPerGsv - 1) {
    AppendSentence(gsv_, point, out);
    stepsSinceGsv_ = 0;
  } else {
    ++stepsSinceGsv_;
  }
  AppendSentence(rmc_, point, out);
  AppendSentence(vtg_, point, out);
  AppendSentence(gll_, point, out);
}

std::string PlaybackBurstWriter::NextBurst(Track& track) {
  std::string burst;
  WriteBurst(track.NextPlaybackPoint(), burst);
  return burst;
}

}  // namespace orv
