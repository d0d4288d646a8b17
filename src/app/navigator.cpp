#include "app/navigator.h"

namespace orv {

Navigator::Navigator() = default;

Track* Navigator::TrackById(int trackId) {
  switch (trackId) {
    case kRecordedId:
      return &recorded_;
    case kRecordingId:
      return &recording_;
    default:
      return nullptr;
  }
}

const Track* Navigator::TrackById(int trackId) const {
  return const_cast<Navigator*>(this)->TrackById(trackId);
}

int Navigator::ProcessSentence(int trackId, std::string_view text, int& errorOut,
                               std::string_view sourceName) {
  if (trackId == kNavigationId) {
    NavigationSentenceSink* sink = sink_.load();
    return sink != nullptr && sink->TakeSentence(text, sourceName) ? 1 : 0;
  }
  Track* track = TrackById(trackId);
  if (track == nullptr) return 0;
  return track->ProcessSentence(text, errorOut) ? 1 : 0;
}

void Navigator::Clear(int trackId) {
  if (trackId == kNavigationId) {
    if (NavigationSentenceSink* sink = sink_.load()) sink->Clear();
    return;
  }
  if (Track* track = TrackById(trackId)) track->Clear();
}

void Navigator::ResetImportState() {
  if (NavigationSentenceSink* sink = sink_.load()) sink->ResetImportState();
}

int Navigator::ImportState() const {
  const NavigationSentenceSink* sink = sink_.load();
  return sink == nullptr ? 0 : sink->ImportState();
}

void Navigator::ClearTracks() {
  recorded_.Clear();
  recording_.Clear();
  sentenceEngine_.Clear();
}

TrackPoint Navigator::CurrentPoint(int trackId) const {
  const Track* track = TrackById(trackId);
  return track == nullptr ? TrackPoint() : track->CurrentPoint();
}

TrackPoint Navigator::NextPlaybackPoint(int trackId) {
  Track* track = TrackById(trackId);
  return track == nullptr ? TrackPoint() : track->NextPlaybackPoint();
}

}  // namespace orv
