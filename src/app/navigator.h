#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "app/navigation_sentence_sink.h"
#include "app/track.h"

namespace orv {

// The tracks of the program and the way sentences reach them. Operations
// take a track id; an id they do not know does nothing and returns 0 or a
// reset point.
class Navigator {
 public:
  static constexpr int kRecordedId = 1;    // loaded from a file, replayed
  static constexpr int kRecordingId = 2;   // fed live by the receiver
  static constexpr int kNavigationId = 3;  // the navigation database

  Navigator();
  Navigator(const Navigator&) = delete;
  Navigator& operator=(const Navigator&) = delete;

  Track& Recorded() { return recorded_; }
  const Track& Recorded() const { return recorded_; }
  Track& Recording() { return recording_; }
  const Track& Recording() const { return recording_; }
  // A third engine for single sentences (destination threads, position
  // averaging), kept apart so they never disturb the two tracks.
  Track& SentenceEngine() { return sentenceEngine_; }

  // The track of id 1 or 2; null for any other id.
  Track* TrackById(int trackId);
  const Track* TrackById(int trackId) const;

  // Not owned; null until the navigation database exists.
  void SetNavigationSink(NavigationSentenceSink* sink) { sink_.store(sink); }
  NavigationSentenceSink* NavigationSink() const { return sink_.load(); }

  // Ids 1 and 2: the track's ProcessSentence; 1 when a GPS sentence was
  // accepted. errorOut becomes 1 when a point could not be stored for lack
  // of memory. Id 3: 1 when the navigation sink consumed the sentence
  // (sourceName is passed on); 0 without a sink. Other ids: 0.
  int ProcessSentence(int trackId, std::string_view text, int& errorOut,
                      std::string_view sourceName = {});

  // Ids 1 and 2 clear that track, id 3 the navigation sink.
  void Clear(int trackId);
  // The navigation sink's import state (0 without a sink); resetting it leaves
  // the sink's content alone, unlike Clear(3).
  void ResetImportState();
  int ImportState() const;
  // At program close: the two tracks and the sentence engine.
  void ClearTracks();

  // The current point (newest for Recording, under the cursor for Recorded).
  TrackPoint CurrentPoint(int trackId) const;
  TrackPoint NextPlaybackPoint(int trackId);

 private:
  Track recorded_{TrackKind::kRecorded};
  Track recording_{TrackKind::kRecording};
  Track sentenceEngine_{TrackKind::kRecording};
  std::atomic<NavigationSentenceSink*> sink_{nullptr};
};

}  // namespace orv
