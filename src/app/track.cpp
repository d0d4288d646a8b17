#include "app/track.h"

#include <new>

namespace orv {

Track::Track(TrackKind kind) : kind_(kind) {
  AddResponse(gga_);
  AddResponse(gll_);
  AddResponse(gsa_);
  AddResponse(gsv_);
  AddResponse(rmc_);
  AddResponse(vtg_);
  SortResponses();
}

bool Track::ProcessSentence(std::string_view text, int& errorOut) {
  std::lock_guard lock(mutex_);
  switch (Dispatch(text, working_)) {
    case Outcome::kIgnored:
      return false;
    case Outcome::kRejected:
      working_.Reset();
      pending_.Reset();
      return false;
    case Outcome::kAccepted:
      break;
  }
  RememberSatellites();
  if (working_.Complete()) {
    CommitPoint(working_, errorOut);
    pending_.Reset();
  } else if (working_.LastWasRmc()) {
    // An RMC-only epoch waits here until the next RMC shows that no GGA of
    // its second is coming.
    if (pending_.Complete()) CommitPoint(pending_, errorOut);
    pending_ = working_;
    pending_.MarkComplete();
  } else {
    pending_.Reset();
  }
  return true;
}

void Track::AppendPoints(std::span<const TrackPoint> points, int& errorOut) {
  if (points.empty()) return;
  std::lock_guard lock(mutex_);
  // Nothing below touches the pending point: cleared once, it stays so.
  pending_.Reset();
  for (const TrackPoint& point : points) {
    working_ = point;
    RememberSatellites();
    CommitPoint(working_, errorOut);
    if (errorOut != 0) return;
  }
}

void Track::RememberSatellites() {
  if (working_.SatellitesInView() == -1) {
    working_.SetSatellitesInView(rememberedSatellitesInView_);
  } else {
    rememberedSatellitesInView_ = working_.SatellitesInView();
  }
  if (working_.SatellitesInUse() == -1) {
    working_.SetSatellitesInUse(rememberedSatellitesInUse_);
  } else {
    rememberedSatellitesInUse_ = working_.SatellitesInUse();
  }
  if (!working_.HasPrnList()) {
    rememberedPrns_.fill(0);
    working_.CopyPrnsFrom(rememberedPrns_);
  } else {
    working_.CopyPrnsTo(rememberedPrns_);
  }
}

void Track::CommitPoint(TrackPoint& point, int& errorOut) {
  static const TrackPoint kNoPoint;
  const bool wasEmpty = points_.Empty();
  // Points never move in the store, so the last one is read in place.
  const TrackPoint& last = wasEmpty ? kNoPoint : points_.Back();
  AcceptFlags flags;
  if (statistics_.AcceptPoint(point, last, flags)) {
    try {
      StorePoint(point);
    } catch (const std::bad_alloc&) {
      errorOut = 1;
      return;
    }
    if (wasEmpty) cursor_.store(0);
    statistics_.NoteExtremeIndices(flags, CountLocked() - 1);
  } else if (flags.tooClose && !wasEmpty) {
    // A standing receiver keeps one point whose time follows the clock.
    TrackPoint& stored = points_.Back();
    stored.AssignFixTime(point.GetFixTime());
    if (stored.AltitudeMsl() == TrackPoint::kUnknown &&
        point.AltitudeMsl() != TrackPoint::kUnknown) {
      stored.SetAltitudeMsl(point.AltitudeMsl());
    }
  }
  point.Reset();
}

void Track::Clear() {
  std::lock_guard lock(mutex_);
  points_.Clear();
  working_.Reset();
  pending_.Reset();
  for (size_t i = 0; i < ResponseCount(); ++i) {
    ResponseAt(i).Empty(1);
    ResponseAt(i).Empty(2);
  }
  Sentence().Clear();
  statistics_.Clear();
  rememberedSatellitesInView_ = -1;
  rememberedSatellitesInUse_ = -1;
  rememberedPrns_.fill(0);
  cursor_.store(-1);
  name_.assign(kProgramTitle);
}

int32_t Track::PointCount() const {
  std::lock_guard lock(mutex_);
  return CountLocked();
}

TrackPoint Track::PointAtLocked(int32_t index) const {
  if (index < 0 || index >= CountLocked()) return TrackPoint();
  return points_[static_cast<size_t>(index)];
}

TrackPoint Track::CurrentPointLocked() const {
  return PointAtLocked(kind_ == TrackKind::kRecording ? CountLocked() - 1 : cursor_.load());
}

TrackPoint Track::PointAt(int32_t index) const {
  std::lock_guard lock(mutex_);
  return PointAtLocked(index);
}

TrackPoint Track::CurrentPoint() const {
  std::lock_guard lock(mutex_);
  return CurrentPointLocked();
}

TrackPoint Track::FirstPoint() const {
  std::lock_guard lock(mutex_);
  return PointAtLocked(0);
}

TrackPoint Track::LastPoint() const {
  std::lock_guard lock(mutex_);
  return PointAtLocked(CountLocked() - 1);
}

int32_t Track::RememberedSatellitesInView() const {
  std::lock_guard lock(mutex_);
  return rememberedSatellitesInView_;
}

int32_t Track::RememberedSatellitesInUse() const {
  std::lock_guard lock(mutex_);
  return rememberedSatellitesInUse_;
}

TrackPoint::PrnList Track::RememberedPrns() const {
  std::lock_guard lock(mutex_);
  return rememberedPrns_;
}

TripStatistics Track::Statistics() const {
  std::lock_guard lock(mutex_);
  return statistics_;
}

TripSummary Track::Summary() const {
  std::lock_guard lock(mutex_);
  return SummarizeTrip(statistics_, PointAtLocked(0), PointAtLocked(CountLocked() - 1),
                       CurrentPointLocked(), kind_ == TrackKind::kRecording);
}

BoundingBox Track::Box() const {
  std::lock_guard lock(mutex_);
  return statistics_.Box();
}

std::string Track::Name() const {
  std::lock_guard lock(mutex_);
  return name_;
}

void Track::SetName(std::string_view name) {
  std::lock_guard lock(mutex_);
  name_.assign(name);
}

std::string Track::FilePath() const {
  std::lock_guard lock(mutex_);
  return filePath_;
}

void Track::SetFilePath(std::string_view path) {
  std::lock_guard lock(mutex_);
  filePath_.assign(path);
}

PlaybackSettings Track::Playback() const {
  return PlaybackSettings{playbackMode_.load(), playbackDirection_.load(), speedZoom_.load()};
}

bool Track::SetSpeedZoom(int32_t zoom) {
  if (!IsSpeedZoom(zoom)) return false;
  speedZoom_.store(zoom);
  return true;
}

void Track::SetPlayback(const PlaybackSettings& settings) {
  SetPlaybackMode(settings.mode);
  SetPlaybackDirection(settings.direction);
  SetSpeedZoom(settings.speedZoom);
}

void Track::GoToIndexLocked(int32_t index) {
  if (index >= 0 && index < CountLocked()) cursor_.store(index);
}

void Track::GoToBegin() {
  std::lock_guard lock(mutex_);
  GoToIndexLocked(0);
}

void Track::GoToEnd() {
  std::lock_guard lock(mutex_);
  GoToIndexLocked(CountLocked() - 1);
}

void Track::GoToMaxSpeedPoint() {
  std::lock_guard lock(mutex_);
  GoToIndexLocked(statistics_.MaxSpeedIndex());
}

void Track::GoToMaxAltitudePoint() {
  std::lock_guard lock(mutex_);
  GoToIndexLocked(statistics_.MaxAltitudeIndex());
}

void Track::GoToMinAltitudePoint() {
  std::lock_guard lock(mutex_);
  GoToIndexLocked(statistics_.MinAltitudeIndex());
}

void Track::StepLocked(bool forward) {
  cursor_.store(MovePlaybackCursor(cursor_.load(), CountLocked(), speedZoom_.load(), forward));
}

void Track::StepNext() {
  std::lock_guard lock(mutex_);
  StepLocked(playbackDirection_.load() != kPlaybackReverse);
}

void Track::StepPrevious() {
  std::lock_guard lock(mutex_);
  StepLocked(playbackDirection_.load() == kPlaybackReverse);
}

TrackPoint Track::NextPlaybackPoint() {
  std::lock_guard lock(mutex_);
  if (CountLocked() == 0) return TrackPoint();
  if (playbackMode_.load() == kPlaybackPlaying) {
    StepLocked(playbackDirection_.load() != kPlaybackReverse);
  }
  return PointAtLocked(cursor_.load());
}

}  // namespace orv
