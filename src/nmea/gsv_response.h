#pragma once

#include <array>
#include <cstdint>

#include "nmea/nmea_response_with_values.h"
#include "nmea/nmea_sentence.h"

namespace orv {

// One satellite of a GSV sentence.
struct GsvSatellite {
  int32_t prn = 0;
  int32_t elevation = 0;  // degrees
  int32_t azimuth = 0;    // degrees true
  int32_t snr = 0;        // dB; -1 when not tracked
};

// The fields of one GSV sentence, as parsed or as generated.
struct GsvValues {
  // The table keeps this many; see GsvResponse for the ones beyond.
  static constexpr int kMaxSatellites = 12;

  int32_t totalSentences = 0;
  int32_t sentenceNumber = 0;
  int32_t satellitesInView = 0;
  int32_t signalId = -1;  // -1: not given
  std::array<GsvSatellite, kMaxSatellites> satellites{};
};

// GSV, satellites in view; up to four satellites per sentence, up to nine
// sentences per cycle; at most 20 data fields.
//
//   $GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75
//          1 2 3  4  5  6   7  8  ...                           19
//
//   1 total number of sentences (0 or above 9 reads 9)
//   2 number of this sentence, 1..total (else the sentence is refused)
//   3 satellites in view (above 12 reads 12: the count the views show)
//   4-7, 8-11, 12-15, 16-19 PRN, elevation, azimuth, SNR (empty SNR: -1)
//   last: signal id of NMEA 4.1, one hex digit, after the satellite groups
//
// Satellite groups are four fields, so a sentence of 3 + 4k fields carries k
// satellites (the last group may be cut short by fewer fields). A count that
// is a multiple of four, 4 + 4k, cannot end in a whole group: its last field
// is the signal id and the k satellites before it are whole groups.
//
// A multi-system receiver sees more than twelve satellites and needs more
// than three sentences; the table keeps the first twelve and the satellites
// of sentences 4 to 9 are not kept.
//
// Into a TrackPoint: the satellites in view. Written from a point it shows a
// simulated sky of twelve satellites, in three sentences, that slowly moves
// from call to call.
class GsvResponse : public NmeaResponseWithValues<GsvResponse, GsvValues> {
 public:
  static constexpr int kMaxDataFields = 20;
  static constexpr int kMaxSentences = 9;
  static constexpr int kSatellitesPerSentence = 4;
  static constexpr int kMaxSatellites = GsvValues::kMaxSatellites;
  static constexpr int kGeneratedSentences = kMaxSatellites / kSatellitesPerSentence;

  using Satellite = GsvSatellite;

  GsvResponse() : NmeaResponseWithValues("GSV") {}

  bool Parse(const NmeaSentence& sentence) override;
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point) override;
  // Writes three sentences (three lines, each with its checksum) into one text.
  bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point) override;

 private:
  // A value that walks between two bounds, one step per generated cycle.
  struct Bouncer {
    int32_t value = 0;
    bool goingUp = false;
    void Step(int32_t lowTurn, int32_t highTurn);
  };

  Bouncer elevation_;
  Bouncer azimuthOffset_;
  NmeaSentence line_;
};

}  // namespace orv
