#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/track.h"
#include "nmea/fix_time.h"
#include "nmea/gga_response.h"
#include "nmea/nmea_sentence.h"
#include "nmea/rmc_response.h"
#include "nmea/track_point.h"

namespace orv::testing {

struct FixInput {
  double latitude;
  double longitude;
  double knots = 0.0;
  double altitude = 0.0;
  // Without GGA the point has no altitude (the altitude field is read as 0).
  bool rmcOnly = false;
};

// Feeds one GGA and one RMC per fix, a second apart, as a receiver would.
// An RMC-only fix is stored when the next RMC shows that no GGA came for it.
inline void FeedFixes(Track& track, const std::vector<FixInput>& fixes) {
  GgaResponse gga;
  RmcResponse rmc;
  NmeaSentence sentence;
  int second = 0;
  for (const FixInput& rule : fixes) {
    TrackPoint fix;
    LatLong position;
    position.SetDegrees(rule.latitude, rule.longitude);
    fix.SetPosition(position);
    fix.SetSpeedKnots(rule.knots);
    fix.SetAltitudeMsl(rule.altitude);
    fix.AssignFixTime(FixTime::FromFields(2024, 3, 23, 12, 0, second++));
    int error = 0;
    if (!rule.rmcOnly) {
      gga.WriteFromPoint(sentence, fix);
      track.ProcessSentence(sentence.View(), error);
    }
    rmc.WriteFromPoint(sentence, fix);
    track.ProcessSentence(sentence.View(), error);
  }
}

// A private folder, removed with the object.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "orv_exchange_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace orv::testing
