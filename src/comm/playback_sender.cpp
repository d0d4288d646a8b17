#include "comm/playback_sender.h"

#include "app/navigator.h"
#include "app/playback_burst_writer.h"
#include "nmea/line_limits.h"
#include "nmea/nmea_sentence.h"
#include "nmea/wpl_sentence.h"

namespace orv {

PlaybackSender::PlaybackSender(Navigator& navigator, RunFlag& run)
    : navigator_(navigator), run_(run), playbackTrackId_(Navigator::kRecordedId) {}

void PlaybackSender::SetPointSource(std::function<TrackPoint()> source) {
  std::lock_guard lock(pointSourceMutex_);
  pointSource_ = std::move(source);
}

void PlaybackSender::Open() {
  std::lock_guard lock(routeMutex_);
  open_ = true;
  burstsWritten_.store(0);
}

void PlaybackSender::Close() {
  std::optional<RouteRequest> unsent;
  {
    std::lock_guard lock(routeMutex_);
    open_ = false;
    unsent.swap(pendingRoute_);
  }
  if (unsent) unsent->done.set_value(false);
}

std::future<bool> PlaybackSender::RequestRouteTransfer(RouteTransfer transfer) {
  std::promise<bool> done;
  std::future<bool> future = done.get_future();
  std::lock_guard lock(routeMutex_);
  if (!open_) {
    done.set_value(false);
    return future;
  }
  if (pendingRoute_) pendingRoute_->done.set_value(false);
  // Request and answer travel together: a request made while an earlier
  // transfer is being written waits for it and gets its own answer.
  pendingRoute_ = RouteRequest{std::move(transfer), std::move(done)};
  run_.Nudge();
  return future;
}

std::optional<PlaybackSender::RouteRequest> PlaybackSender::TakeRouteRequest() {
  std::optional<RouteRequest> request;
  std::lock_guard lock(routeMutex_);
  request.swap(pendingRoute_);
  return request;
}

TrackPoint PlaybackSender::NextPoint() {
  std::lock_guard lock(pointSourceMutex_);
  if (playEvent_.load()) return navigator_.SentenceEngine().CurrentPoint();
  if (pointSource_) return pointSource_();
  return navigator_.NextPlaybackPoint(playbackTrackId_.load());
}

// SendToSerialPortReceiverProc and SendToRouteRepresentationSocketProc.
void PlaybackSender::Run(const Writer& write) {
  PlaybackBurstWriter writer;
  std::string burst;
  auto next = std::chrono::steady_clock::now();
  while (run_.IsSet()) {
    if (std::optional<RouteRequest> request = TakeRouteRequest()) {
      const bool sent = SendRoute(request->transfer, write);
      request->done.set_value(sent);
      if (!sent) break;
      continue;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= next) {
      writer.WriteBurst(NextPoint(), burst);
      if (!write(burst)) break;
      burstsWritten_.fetch_add(1);
      next += pacing_.burstPeriod;
      while (next <= now) next += pacing_.burstPeriod;
    }
    // Woken early only by a route request, which the next turn takes.
    if (!run_.SleepUntil(next)) break;
  }
  // A route still waiting when the thread ends was not sent.
  Close();
}

bool PlaybackSender::SendRoute(const RouteTransfer& transfer, const Writer& write) {
  WplSentence wpl;
  NmeaSentence sentence;
  bool first = true;
  for (const RouteTransfer::Point& point : transfer.waypoints) {
    if (!first && !PauseBetweenSentences()) return false;
    first = false;
    wpl.SetWaypoint(point.position, point.name);
    sentence.Clear();
    if (!wpl.Write(sentence) || sentence.View().size() >= kMaxWriteLineLength) continue;
    if (!write(sentence.View())) return false;
  }
  if (!transfer.waypoints.empty() && !PauseBetweenSentences()) return false;
  RteSentence rte;
  rte.SetRouteToWrite(transfer.route);
  for (;;) {
    sentence.Clear();
    if (!rte.Write(sentence)) break;
    if (!write(sentence.View())) return false;
    if (!PauseBetweenSentences()) return false;
  }
  return true;
}

bool PlaybackSender::PauseBetweenSentences() {
  // A route request arriving meanwhile must not shorten the pause; the loop
  // finds it once this transfer is done.
  const auto end = std::chrono::steady_clock::now() + pacing_.routeSentencePause;
  while (std::chrono::steady_clock::now() < end) {
    if (!run_.SleepUntil(end)) return false;
  }
  return run_.IsSet();
}

}  // namespace orv
