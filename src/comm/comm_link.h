#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "app/track_recorder.h"
#include "comm/byte_stream.h"
#include "comm/playback_sender.h"
#include "comm/route_transfer.h"
#include "comm/run_flag.h"

namespace orv {

class Navigator;
class Prompter;

inline constexpr std::string_view kReceiveThreadFailedText =
    "AfxBeginThread failed for RecvFromSerialPortReceiverProc()";
inline constexpr std::string_view kSendThreadFailedText =
    "AfxBeginThread failed for SendToSerialPortReceiverProc()";

// One of the two threads of a link: its body and the message shown when it
// cannot be started.
struct LinkThread {
  std::function<void()> body;
  std::string_view startFailedText;
};

// What serial and Bluetooth links share: the device, a receiving and a
// sending thread with their run flags, while the link records the track
// file, and as a destination the playback sender. Start opens the device,
// creates the track file when asked to, then starts the threads; Stop ends
// them in a fixed order and closes the device before the track file.
class CommLink {
 public:
  // Starts a thread; false when it could not be started. A seam for tests
  // of the start failures.
  using ThreadLauncher = std::function<bool(std::thread&, std::function<void()>)>;

  CommLink(Navigator& navigator, Prompter& prompter);
  virtual ~CommLink();
  CommLink(const CommLink&) = delete;
  CommLink& operator=(const CommLink&) = delete;

  // Either thread was started and the link has not been stopped since.
  bool IsActive() const { return receiveThread_.joinable() || sendThread_.joinable(); }
  // The receiving thread ended by itself (a read error, lack of memory)
  // while the link is still active.
  bool ReceiveEnded() const { return IsActive() && !receiveAlive_.load(); }
  bool SendEnded() const { return IsActive() && !sendAlive_.load(); }

  // Clears the receive run flag, waits 100 ms, clears the send run flag,
  // waits 100 ms, closes the device, then closes the track file with the
  // keep question. Returns the kept track file's path, or empty.
  std::string Stop();

  TrackRecorder& Recorder() { return recorder_; }
  void SetThreadLauncher(ThreadLauncher launcher) { launcher_ = std::move(launcher); }

  // Writes to the track file; only while recording.
  void WriteToTrackFile(std::string_view text, bool movement);

  // Destination role: where playback bursts take their point, by default
  // the next playback point of the track of `trackId` (Recorded unless set).
  void SetPlaybackTrackId(int trackId) { playback_.SetPlaybackTrackId(trackId); }
  void SetPointSource(std::function<TrackPoint()> source) {
    playback_.SetPointSource(std::move(source));
  }
  // While set, bursts come from the navigator's sentence engine.
  void SetPlayEvent(bool set) { playback_.SetPlayEvent(set); }
  // Hands a route to the sending thread, which sends it between bursts.
  // The future tells whether every sentence was written; false at once
  // when the link is not sending playback.
  std::future<bool> RequestRouteTransfer(RouteTransfer transfer) {
    return playback_.RequestRouteTransfer(std::move(transfer));
  }
  // Bursts written since the playback started (for tests and the command line).
  long long BurstsWritten() const { return playback_.BurstsWritten(); }

 protected:
  static constexpr std::chrono::milliseconds kStopPause{100};

  // Opens the device; null after its failure has been shown.
  virtual std::unique_ptr<ByteStream> OpenDevice() = 0;

  // Opens the device, creates the track file when `record` is set, then
  // starts the receiving and the sending thread. On any failure the
  // message has been shown and the link is left stopped.
  bool Start(LinkThread receive, LinkThread send, bool record);
  // Start as a destination: no track file, and the playback sender as the
  // sending thread, writing through `write`.
  bool StartDestination(LinkThread receive, PlaybackSender::Writer write,
                        std::string_view sendStartFailedText);

  Navigator& navigator_;
  Prompter& prompter_;
  RunFlag receiveRun_;
  RunFlag sendRun_;
  std::unique_ptr<ByteStream> stream_;
  TrackRecorder recorder_;
  PlaybackSender playback_;

 private:
  bool Launch(std::thread& thread, std::function<void()> body, std::atomic<bool>& alive);
  void ShowStartFailure(std::string_view text);
  void CloseDevice();

  ThreadLauncher launcher_;
  std::thread receiveThread_;
  std::thread sendThread_;
  std::atomic<bool> receiveAlive_{false};
  std::atomic<bool> sendAlive_{false};
};

}  // namespace orv
