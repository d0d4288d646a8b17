#include "comm/serial_link.h"

#include <algorithm>

#include "app/navigator.h"
#include "app/playback_burst_writer.h"
#include "comm/port_names.h"
#include "comm/sentence_cutter.h"
#include "nav/navigation_database.h"
#include "nmea/line_limits.h"
#include "nmea/nmea_sentence.h"
#include "nmea/proprietary_lines.h"
#include "nmea/wpl_sentence.h"
#include "platform/system_error.h"

namespace orv {
namespace {

constexpr size_t kReadBlock = 512;

}  // namespace

std::optional<RouteTransfer> RouteTransferFor(const NavigationDatabase& database, int routeIndex) {
  const std::optional<Route> route = database.RouteAt(routeIndex);
  if (!route) return std::nullopt;
  RouteTransfer transfer;
  transfer.route = route->ToRecord();
  for (const std::string& name : route->WaypointNames()) {
    const bool listed = std::any_of(transfer.waypoints.begin(), transfer.waypoints.end(),
                                    [&](const RouteTransfer::Point& p) { return p.name == name; });
    if (listed) continue;
    if (const std::optional<Waypoint> waypoint = database.WaypointAt(database.FindWaypoint(name))) {
      transfer.waypoints.push_back({waypoint->Name(), waypoint->Position()});
    }
  }
  return transfer;
}

SerialLink::SerialLink(Navigator& navigator, Prompter& prompter)
    : CommLink(navigator, prompter), playbackTrackId_(Navigator::kRecordedId) {}

SerialLink::~SerialLink() {
  Stop();
}

int SerialLink::SetPortName(std::string_view name) {
  std::string stored = StoredPortName(name);
  if (stored == portName_) return 0;
  portName_ = std::move(stored);
  return 1;
}

bool SerialLink::IsOwnVirtualPort() const {
  return virtualPortNumber_ >= 0 && portName_ == VirtualPortName(virtualPortNumber_);
}

std::unique_ptr<ByteStream> SerialLink::OpenDevice() {
  if (portName_.empty()) return nullptr;
  int error = 0;
  const bool ownPort = IsOwnVirtualPort();
  std::unique_ptr<ByteStream> stream;
  if (ownPort && virtualPortOpener_) {
    stream = virtualPortOpener_(virtualPortNumber_, error);
  } else {
    stream = OpenPort(portName_, ownPort ? PortAccess::kWriteOnly : PortAccess::kReadWrite, error);
  }
  if (!stream) {
    ReportSystemError(prompter_, kCreateFileOperation, portName_, error);
    return nullptr;
  }
  openedPortName_ = portName_;
  return stream;
}

bool SerialLink::StartRecording() {
  return Start({[this] { ReceiveSentences(true); }, kReceiveThreadFailedText},
               {[this] { KeepAlive(); }, kSendThreadFailedText}, true);
}

bool SerialLink::StartPlayback() {
  burstsWritten_.store(0);
  {
    std::lock_guard lock(burstTimesMutex_);
    burstTimes_.clear();
  }
  const bool ownPort = IsOwnVirtualPort();
  return Start({[this, ownPort] {
                  // The own virtual port is opened for writing only.
                  if (!ownPort) ReceiveSentences(false);
                },
                kReceiveThreadFailedText},
               {[this] { SendPlayback(); }, kSendThreadFailedText}, false);
}

void SerialLink::SetPointSource(std::function<TrackPoint()> source) {
  std::lock_guard lock(pointSourceMutex_);
  pointSource_ = std::move(source);
}

std::vector<std::chrono::steady_clock::time_point> SerialLink::BurstTimes() const {
  std::lock_guard lock(burstTimesMutex_);
  return burstTimes_;
}

// RecvFromSerialPortReceiverProc when handing over, DrainSerialPortProc
// when not.
void SerialLink::ReceiveSentences(bool handOver) {
  const std::string& port = openedPortName_;
  if (handOver && recorder_.IsRecording()) recorder_.WriteHead(port);
  SentenceCutter cutter;
  char block[kReadBlock];
  while (receiveRun_.IsSet()) {
    const IoResult read = stream_->Read(block, sizeof block);
    if (read.status == IoStatus::kStopped) return;
    if (read.status == IoStatus::kFailed) {
      // A drained destination just stops reading; its writes report.
      if (handOver && receiveRun_.IsSet()) {
        ReportSystemError(prompter_, kReadFileOperation, port, read.error);
      }
      return;
    }
    for (size_t i = 0; i < read.bytes; ++i) {
      if (!receiveRun_.IsSet()) return;
      const std::optional<std::string_view> line = cutter.Feed(block[i]);
      if (line && handOver && !recorder_.HandleLine(*line, port)) return;
    }
  }
}

// KeepAliveSerialPortProc.
void SerialLink::KeepAlive() {
  const bool sends = stream_->TakesReceiverCommands();
  const std::string line = PlaceholderLine();
  while (sendRun_.IsSet()) {
    if (sends && stream_->Write(line).status != IoStatus::kDone) return;
    for (int tick = 0; tick < timing_.keepAliveTicks; ++tick) {
      if (!sendRun_.SleepFor(timing_.keepAliveTick)) return;
    }
  }
}

bool SerialLink::WriteOrReport(std::string_view bytes) {
  const IoResult written = stream_->Write(bytes);
  if (written.status == IoStatus::kFailed) {
    ReportSystemError(prompter_, kWriteFileOperation, openedPortName_, written.error);
  }
  return written.status == IoStatus::kDone;
}

// SendToSerialPortReceiverProc. Bursts go out on a fixed grid of the
// monotonic clock, start + k periods, so that slow writes never add up to
// a drift; a period missed entirely is skipped, not caught up.
void SerialLink::SendPlayback() {
  // A route still waiting when the thread ends was not sent.
  struct FailPendingRoute {
    SerialLink& link;
    ~FailPendingRoute() {
      std::lock_guard lock(link.routeMutex_);
      link.pendingRoute_.reset();
      if (link.routeDone_) link.routeDone_->set_value(false);
      link.routeDone_.reset();
    }
  } failPendingRoute{*this};
  PlaybackBurstWriter writer;
  std::string burst;
  auto next = std::chrono::steady_clock::now();
  while (sendRun_.IsSet()) {
    std::optional<RouteTransfer> route;
    {
      std::lock_guard lock(routeMutex_);
      route.swap(pendingRoute_);
    }
    if (route) {
      const bool sent = SendRoute(*route);
      std::optional<std::promise<bool>> done;
      {
        std::lock_guard lock(routeMutex_);
        done.swap(routeDone_);
      }
      if (done) done->set_value(sent);
      if (!sent) return;
      continue;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= next) {
      TrackPoint point;
      {
        std::lock_guard lock(pointSourceMutex_);
        if (playEvent_.load()) {
          point = navigator_.SentenceEngine().CurrentPoint();
        } else if (pointSource_) {
          point = pointSource_();
        } else {
          point = navigator_.NextPlaybackPoint(playbackTrackId_.load());
        }
      }
      writer.WriteBurst(point, burst);
      if (!WriteOrReport(burst)) return;
      burstsWritten_.fetch_add(1);
      if (keepBurstTimes_) {
        std::lock_guard lock(burstTimesMutex_);
        burstTimes_.push_back(now);
      }
      next += timing_.burstPeriod;
      while (next <= now) next += timing_.burstPeriod;
    }
    // Woken early only by a route request, which the next turn takes.
    if (!sendRun_.SleepUntil(next)) return;
  }
}

bool SerialLink::SendRoute(const RouteTransfer& transfer) {
  WplSentence wpl;
  NmeaSentence sentence;
  bool first = true;
  for (const RouteTransfer::Point& point : transfer.waypoints) {
    if (!first && !sendRun_.SleepFor(timing_.routeSentencePause)) return false;
    first = false;
    wpl.SetWaypoint(point.position, point.name);
    sentence.Clear();
    if (!wpl.Write(sentence) || sentence.View().size() >= kMaxWriteLineLength) continue;
    if (!WriteOrReport(sentence.View())) return false;
  }
  if (!transfer.waypoints.empty() && !sendRun_.SleepFor(timing_.routeSentencePause)) return false;
  RteSentence rte;
  rte.SetRouteToWrite(transfer.route);
  for (;;) {
    sentence.Clear();
    if (!rte.Write(sentence)) break;
    if (!WriteOrReport(sentence.View())) return false;
    if (!sendRun_.SleepFor(timing_.routeSentencePause)) return false;
  }
  return true;
}

std::future<bool> SerialLink::RequestRouteTransfer(RouteTransfer transfer) {
  std::promise<bool> promise;
  std::future<bool> future = promise.get_future();
  if (!IsActive() || SendEnded()) {
    promise.set_value(false);
    return future;
  }
  std::lock_guard lock(routeMutex_);
  if (routeDone_) routeDone_->set_value(false);  // a newer request replaces it
  pendingRoute_ = std::move(transfer);
  routeDone_ = std::move(promise);
  sendRun_.Nudge();
  return future;
}

}  // namespace orv
