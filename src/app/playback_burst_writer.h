#pragma once

#include <string>

#include "nmea/gga_response.h"
#include "nmea/gll_response.h"
#include "nmea/gsa_response.h"
#include "nmea/gsv_response.h"
#include "nmea/nmea_sentence.h"
#include "nmea/rmc_response.h"
#include "nmea/vtg_response.h"

namespace orv {

class Track;
class TrackPoint;

// Builds what a destination sends once per replay step: GGA, GSA, on every
// fifth step also the three GSV lines, then RMC, VTG and GLL, as one text.
// Each sender owns one writer: the sentence objects keep state between
// steps (the simulated sky of GSV) and must not be shared with a parser.
class PlaybackBurstWriter {
 public:
  static constexpr int kStepsPerGsv = 5;

  PlaybackBurstWriter() = default;
  PlaybackBurstWriter(const PlaybackBurstWriter&) = delete;
  PlaybackBurstWriter& operator=(const PlaybackBurstWriter&) = delete;

  // One step from the given point; `out` is replaced.
  void WriteBurst(const TrackPoint& point, std::string& out);
  // One replay step of a track: its NextPlaybackPoint, written.
  std::string NextBurst(Track& track);

 private:
  void AppendSentence(NmeaResponse& response, const TrackPoint& point, std::string& out);

  GgaResponse gga_;
  GsaResponse gsa_;
  GsvResponse gsv_;
  RmcResponse rmc_;
  VtgResponse vtg_;
  GllResponse gll_;
  NmeaSentence sentence_;
  int stepsSinceGsv_ = 0;  // 0..4; GSV joins the burst when it reaches 4
};

}  // namespace orv
