#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "app/playback_control.h"
#include "app/track_point_store.h"
#include "app/trip_statistics.h"
#include "nmea/gga_response.h"
#include "nmea/gll_response.h"
#include "nmea/gsa_response.h"
#include "nmea/gsv_response.h"
#include "nmea/nmea_parser.h"
#include "nmea/rmc_response.h"
#include "nmea/track_point.h"
#include "nmea/vtg_response.h"

namespace orv {

// The name a track carries until it is given one.
inline constexpr std::string_view kProgramTitle = "Orvelle Recorder 7 Beta";
// What a thread shows before it ends because a point could not be stored.
inline constexpr std::string_view kOutOfMemoryText = "Out of memory";

// Which point is "current": the live track shows its newest point, a
// replayed track the point under its playback cursor.
enum class TrackKind : int32_t { kRecorded = 1, kRecording = 2 };

// One track: the epoch assembly of GPS sentences into points, the stored
// points, their statistics and the playback cursor.
//
// Thread safety: one thread feeds sentences while others read. Every
// operation takes the track's lock for its whole duration, so a reader
// always sees whole points and statistics that belong together. Readers get
// copies, never references into the store.
class Track : public NmeaParser {
 public:
  explicit Track(TrackKind kind);
  ~Track() override = default;

  TrackKind Kind() const { return kind_; }

  // Feeds one sentence (with its CR LF). Returns true when one of the six
  // GPS sentence objects accepted it. A sentence that fails the framing test
  // or has no sentence object changes nothing; a refused GPS sentence drops
  // the epoch being assembled. Sets errorOut to 1 when a completed point
  // could not be stored for lack of memory; the caller must stop feeding.
  bool ProcessSentence(std::string_view text, int& errorOut);

  // Stores fixes prepared by the caller, each as a completed epoch: the
  // remembered satellite state fills in and follows them, and the movement
  // filter and statistics see them in order. For bulk loads that would
  // otherwise write sentences only to parse them again. Sets errorOut to 1
  // and stops when a point could not be stored for lack of memory.
  void AppendPoints(std::span<const TrackPoint> points, int& errorOut);

  // Empties the track: points, working and pending points, sentence
  // objects, statistics, cursor, remembered satellites; the name becomes the
  // program title. Playback settings and the file path are kept.
  void Clear();

  // Reading. A point outside the track, or any point of an empty track, is a reset point.
  int32_t PointCount() const;
  TrackPoint PointAt(int32_t index) const;
  TrackPoint CurrentPoint() const;
  TrackPoint FirstPoint() const;
  TrackPoint LastPoint() const;
  // Calls visit(index, point) for the points first..last-1 (clamped) under
  // the lock: for drawing and exporting without copying each point. The
  // visitor must not call back into this track.
  template <typename Visitor>
  void ForEachPoint(int32_t first, int32_t last, Visitor&& visit) const;

  // The satellite state last seen; these are what the live satellite field shows.
  int32_t RememberedSatellitesInView() const;
  int32_t RememberedSatellitesInUse() const;
  TrackPoint::PrnList RememberedPrns() const;

  TripStatistics Statistics() const;
  TripSummary Summary() const;
  BoundingBox Box() const;

  std::string Name() const;
  void SetName(std::string_view name);
  std::string FilePath() const;
  void SetFilePath(std::string_view path);

  // Playback. The cursor is -1 while the track is empty and 0 once the first
  // point is stored.
  int32_t Cursor() const { return cursor_.load(); }
  PlaybackSettings Playback() const;
  int32_t PlaybackMode() const { return playbackMode_.load(); }
  int32_t PlaybackDirection() const { return playbackDirection_.load(); }
  int32_t SpeedZoom() const { return speedZoom_.load(); }
  void SetPlaybackMode(int32_t mode) { playbackMode_.store(mode); }
  void SetPlaybackDirection(int32_t direction) { playbackDirection_.store(direction); }
  // False (and nothing changes) for a value that is not one of kSpeedZooms.
  bool SetSpeedZoom(int32_t zoom);
  void SetPlayback(const PlaybackSettings& settings);

  void GoToBegin();
  void GoToEnd();
  // Nothing moves while the extreme is not known (index -1).
  void GoToMaxSpeedPoint();
  void GoToMaxAltitudePoint();
  void GoToMinAltitudePoint();
  // One SpeedZoom step in (Next) or against (Previous) the playback
  // direction, whatever the playback mode.
  void StepNext();
  void StepPrevious();
  // One replay step: moves the cursor SpeedZoom points in the playback
  // direction while playing (not while paused) and returns the point under
  // it; a reset point for an empty track.
  TrackPoint NextPlaybackPoint();

 protected:
  // Appends to the store; throws std::bad_alloc when memory runs out. A seam
  // for tests of the out-of-memory path.
  virtual void StorePoint(const TrackPoint& point) { points_.PushBack(point); }

 private:
  // These expect the lock to be held.
  void CommitPoint(TrackPoint& point, int& errorOut);
  void RememberSatellites();
  TrackPoint PointAtLocked(int32_t index) const;
  TrackPoint CurrentPointLocked() const;
  int32_t CountLocked() const { return static_cast<int32_t>(points_.Size()); }
  void StepLocked(bool forward);
  void GoToIndexLocked(int32_t index);

  const TrackKind kind_;
  mutable std::mutex mutex_;

  GgaResponse gga_;
  GllResponse gll_;
  GsaResponse gsa_;
  GsvResponse gsv_;
  RmcResponse rmc_;
  VtgResponse vtg_;

  TrackPoint working_;
  TrackPoint pending_;
  int32_t rememberedSatellitesInView_ = -1;
  int32_t rememberedSatellitesInUse_ = -1;
  TrackPoint::PrnList rememberedPrns_{};

  TrackPointStore points_;
  TripStatistics statistics_;
  std::string name_{kProgramTitle};
  std::string filePath_;

  std::atomic<int32_t> cursor_{-1};
  std::atomic<int32_t> playbackMode_{kPlaybackPaused};
  std::atomic<int32_t> playbackDirection_{kPlaybackForward};
  std::atomic<int32_t> speedZoom_{1};
};

template <typename Visitor>
void Track::ForEachPoint(int32_t first, int32_t last, Visitor&& visit) const {
  std::lock_guard lock(mutex_);
  if (first < 0) first = 0;
  if (last > CountLocked()) last = CountLocked();
  for (int32_t index = first; index < last; ++index) {
    visit(index, static_cast<const TrackPoint&>(points_[static_cast<size_t>(index)]));
  }
}

}  // namespace orv
