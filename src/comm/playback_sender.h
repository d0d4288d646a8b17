#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string_view>

#include "comm/route_transfer.h"
#include "comm/run_flag.h"
#include "nmea/track_point.h"

namespace orv {

class Navigator;

// How a destination paces what it sends; tests shorten it.
struct PlaybackPacing {
  std::chrono::milliseconds burstPeriod{1000};
  std::chrono::milliseconds routeSentencePause{250};
};

// The sending thread of a destination, whatever the device: one burst of
// sentences per period from the point playback shows, and between bursts
// the route transfers asked for. Bursts go out on a fixed grid of the
// monotonic clock, start + k periods, so that slow writes never add up to a
// drift; a period missed entirely is skipped, not caught up.
class PlaybackSender {
 public:
  // Writes every byte to the device. False when the write failed, after the
  // link has reported it, or when the link woke the writer to stop.
  using Writer = std::function<bool(std::string_view bytes)>;

  // `run` is the run flag of the sending thread: Run ends when it is
  // cleared, and a route request cuts its sleep short.
  PlaybackSender(Navigator& navigator, RunFlag& run);
  PlaybackSender(const PlaybackSender&) = delete;
  PlaybackSender& operator=(const PlaybackSender&) = delete;

  void SetPacing(const PlaybackPacing& pacing) { pacing_ = pacing; }

  // Where bursts take their point: the next playback point of the track of
  // `trackId` (Recorded unless set), or the given source when there is one.
  void SetPlaybackTrackId(int trackId) { playbackTrackId_.store(trackId); }
  void SetPointSource(std::function<TrackPoint()> source);
  // While set, bursts come from the navigator's sentence engine.
  void SetPlayEvent(bool set) { playEvent_.store(set); }

  // Route requests are taken from Open until Run has ended or Close is
  // called; Open also starts the burst count afresh. The link opens before
  // it starts the thread, so that a request made at once is not refused.
  void Open();
  void Close();

  // Hands a route to the sending thread, which sends it before the next
  // burst. The future tells whether every sentence was written; false at
  // once when nothing is sending, and false for a request that a newer one
  // replaced before its transfer began.
  std::future<bool> RequestRouteTransfer(RouteTransfer transfer);

  // The thread's body: sends until the run flag is cleared or a write
  // fails, then closes.
  void Run(const Writer& write);

  // Bursts written since the last Open.
  long long BurstsWritten() const { return burstsWritten_.load(); }

 private:
  struct RouteRequest {
    RouteTransfer transfer;
    std::promise<bool> done;
  };

  std::optional<RouteRequest> TakeRouteRequest();
  TrackPoint NextPoint();
  // False when a write failed or the thread was asked to end.
  bool SendRoute(const RouteTransfer& transfer, const Writer& write);
  // The pause after each route sentence; false when the thread must end.
  bool PauseBetweenSentences();

  Navigator& navigator_;
  RunFlag& run_;
  PlaybackPacing pacing_;

  std::atomic<int> playbackTrackId_;
  std::atomic<bool> playEvent_{false};
  std::mutex pointSourceMutex_;
  std::function<TrackPoint()> pointSource_;

  std::mutex routeMutex_;
  bool open_ = false;
  std::optional<RouteRequest> pendingRoute_;

  std::atomic<long long> burstsWritten_{0};
};

}  // namespace orv
