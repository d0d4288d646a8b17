#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/comm_link.h"
#include "nmea/lat_long.h"
#include "nmea/rte_sentence.h"
#include "nmea/track_point.h"

namespace orv {

class NavigationDatabase;

// A route as it goes to a device: its waypoints (each once, in route order)
// and the route itself.
struct RouteTransfer {
  struct Point {
    std::string name;
    LatLong position;
  };
  std::vector<Point> waypoints;
  RouteRecord route;
};

// The route of the database at `routeIndex` with the positions of its
// waypoints; nothing when there is no such route. A waypoint the database
// does not hold is left out of the WPL part.
std::optional<RouteTransfer> RouteTransferFor(const NavigationDatabase& database, int routeIndex);

// Pacing of the sending threads; tests shorten it.
struct SerialLinkTiming {
  std::chrono::milliseconds burstPeriod{1000};
  std::chrono::milliseconds keepAliveTick{500};
  int keepAliveTicks = 20;
  std::chrono::milliseconds routeSentencePause{250};
};

// A serial port as a source (recording: it reads and cuts the receiver's
// sentences and sends a keep-alive every 10 s) or as a destination
// (playback: one burst per second, route uploads; whatever the device
// sends is read and dropped). Port names are tty paths, "gpsd://HOST:PORT"
// for the built-in GPS, or COMn: / GPDn: names of the
// program's own ports.
class SerialLink : public CommLink {
 public:
  SerialLink(Navigator& navigator, Prompter& prompter);
  ~SerialLink() override;

  // 1 when the name changed, 0 when it was already set.
  int SetPortName(std::string_view name);
  const std::string& PortName() const { return portName_; }

  // The program's own virtual port (-1: none). That port is opened for
  // writing only and nothing is read from it.
  void SetVirtualPortNumber(int number) { virtualPortNumber_ = number; }
  bool IsOwnVirtualPort() const;
  // Opens the program's own virtual port as its single writer. The virtual
  // port layer sits above this one, so it hands its opener in; without one the
  // port is opened as a plain device.
  using VirtualPortOpener = std::function<std::unique_ptr<ByteStream>(int index, int& error)>;
  void SetVirtualPortOpener(VirtualPortOpener opener) { virtualPortOpener_ = std::move(opener); }

  void SetTiming(const SerialLinkTiming& timing) { timing_ = timing; }

  // Source role: RecvFromSerialPortReceiverProc and KeepAliveSerialPortProc,
  // recording into a new track file.
  bool StartRecording();
  // Destination role: DrainSerialPortProc and SendToSerialPortReceiverProc.
  bool StartPlayback();

  // Where playback bursts take their point; by default the next playback
  // point of the track of `trackId` (Recorded unless set).
  void SetPlaybackTrackId(int trackId) { playbackTrackId_.store(trackId); }
  void SetPointSource(std::function<TrackPoint()> source);
  // While set, bursts come from the navigator's sentence engine.
  void SetPlayEvent(bool set) { playEvent_.store(set); }

  // Hands a route to the sending thread, which sends it between bursts.
  // The future tells whether every sentence was written; false at once
  // when the link is not sending.
  std::future<bool> RequestRouteTransfer(RouteTransfer transfer);

  // Bursts written since the start (for tests and the command line).
  long long BurstsWritten() const { return burstsWritten_.load(); }
  // Monotonic times of the burst writes, when asked to keep them.
  void KeepBurstTimes(bool keep) { keepBurstTimes_ = keep; }
  std::vector<std::chrono::steady_clock::time_point> BurstTimes() const;

 protected:
  std::unique_ptr<ByteStream> OpenDevice() override;

 private:
  void ReceiveSentences(bool handOver);
  void KeepAlive();
  void SendPlayback();
  // False when a write failed (reported).
  bool SendRoute(const RouteTransfer& transfer);
  bool WriteOrReport(std::string_view bytes);

  std::string portName_;
  std::string openedPortName_;
  int virtualPortNumber_ = -1;
  VirtualPortOpener virtualPortOpener_;
  SerialLinkTiming timing_;
  std::atomic<int> playbackTrackId_;
  std::atomic<bool> playEvent_{false};
  std::mutex pointSourceMutex_;
  std::function<TrackPoint()> pointSource_;

  std::mutex routeMutex_;
  std::optional<RouteTransfer> pendingRoute_;
  std::optional<std::promise<bool>> routeDone_;

  std::atomic<long long> burstsWritten_{0};
  bool keepBurstTimes_ = false;
  mutable std::mutex burstTimesMutex_;
  std::vector<std::chrono::steady_clock::time_point> burstTimes_;
};

}  // namespace orv
