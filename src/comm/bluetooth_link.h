#pragma once

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "app/playback_burst_writer.h"
#include "app/settings_model.h"
#include "app/track_recorder.h"
#include "comm/bluetooth_channel_search.h"
#include "comm/bluetooth_discovery.h"
#include "comm/bluetooth_socket_factory.h"

namespace orv {

class Navigator;
class Prompter;

// What a Bluetooth link works with; all outlive the link.
struct BluetoothLinkParts {
  Navigator& navigator;
  Prompter& prompter;
  BluetoothDiscovery& discovery;
  BluetoothSocketFactory& sockets;
  BluetoothChannelChooser& chooser;
};

// A Bluetooth device as the recording source or the playback destination:
// the Serial Port channel found by a service search, a stream socket
// connected to it, and a receiving and a sending thread.
//
// Source: the receiving thread writes the head lines and then cuts the
// device's bytes into sentences for the recording; the sending thread sends
// the placeholder sentence every ten seconds. Destination: the receiving
// thread reads and drops what the device sends; the sending thread sends
// one burst of sentences per second.
class BluetoothLink {
 public:
  enum class Role { kSource, kDestination };

  // A connect refused because the device still holds an earlier connection
  // to the channel is tried again after a short wait.
  static constexpr int kConnectBusyError = EBUSY;
  static constexpr int kMaxConnectRetries = 60;
  static constexpr std::chrono::milliseconds kConnectRetryDelay{250};
  // How long one has-data or is-closed test waits on the socket.
  static constexpr std::chrono::milliseconds kEventWait{250};
  static constexpr int kCloseTests = 10;
  static constexpr std::chrono::seconds kKeepAliveInterval{10};
  static constexpr std::chrono::seconds kBurstInterval{1};

  BluetoothLink(Role role, BluetoothLinkParts parts);
  ~BluetoothLink();
  BluetoothLink(const BluetoothLink&) = delete;
  BluetoothLink& operator=(const BluetoothLink&) = delete;

  Role LinkRole() const { return role_; }
  // The selected device; takes effect at the next Start.
  void SetDevice(const BluetoothDeviceEntry& device);
  BluetoothDeviceEntry Device() const;

  // Where a destination takes each second's burst; by default the next
  // replay step of the recorded track.
  void SetBurstSource(std::function<std::string()> burstSource);
  // The wait between connect tries; tests shorten it.
  void SetConnectRetryDelay(std::chrono::milliseconds delay) { retryDelay_ = delay; }
  // The source's track file (folder and clock can be set on it).
  TrackRecorder& Recorder() { return recorder_; }

  // Channel search, socket, connect, track file (source, when recording)
  // and the two threads. False when the link did not start; its message
  // has been shown, unless the user cancelled the channel choice.
  bool Start(bool recording);
  // Ends the threads, closes the socket and the track file; returns the
  // kept track file's path, or empty.
  std::string Stop();
  bool IsActive() const;
  // The connected RFCOMM channel; 0 while stopped.
  std::uint8_t Channel() const { return channel_.load(); }

  // The socket has something to receive (data, or the end of the stream).
  // Waits up to kEventWait.
  bool HasData();
  // The peer has closed the connection. Waits up to kEventWait.
  bool IsClosed();

 private:
  // A run flag whose clearing also wakes the thread's timed waits.
  class RunFlag {
   public:
    void Set();
    void Clear();
    bool IsSet() const { return set_.load(); }
    // False when the flag was cleared before the time ran out.
    bool SleepFor(std::chrono::milliseconds duration);

   private:
    std::atomic<bool> set_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
  };

  enum class SocketEvent { kNone, kData, kClosed, kFailed };

  int ConnectSocket(std::uint8_t channel);
  bool StartThreads();
  void JoinThreads();
  SocketEvent WaitForEvent(bool reportFailure);
  void ReceiveLoop();
  void KeepAliveLoop();
  void BurstLoop();
  // Sends all of `bytes`; 0 or the error of the failed send.
  int SendAll(std::string_view bytes);
  void ShowError(std::string text);

  const Role role_;
  BluetoothLinkParts parts_;
  TrackRecorder recorder_;
  PlaybackBurstWriter burstWriter_;
  std::function<std::string()> burstSource_;
  std::chrono::milliseconds retryDelay_ = kConnectRetryDelay;

  mutable std::mutex deviceMutex_;
  BluetoothDeviceEntry device_;
  // The device name the running link's messages and head line use.
  std::string activeName_;
  std::atomic<std::uint8_t> channel_{0};
  int socket_ = -1;
  bool recording_ = false;

  RunFlag receiveRun_;
  RunFlag sendRun_;
  std::thread receiveThread_;
  std::thread sendThread_;
};

}  // namespace orv
