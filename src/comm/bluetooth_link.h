#pragma once

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "app/settings_model.h"
#include "comm/bluetooth_channel_search.h"
#include "comm/bluetooth_discovery.h"
#include "comm/bluetooth_socket_factory.h"
#include "comm/bluetooth_socket_stream.h"
#include "comm/comm_link.h"

namespace orv {

// Pacing of a Bluetooth link; tests shorten it.
struct BluetoothLinkTiming {
  std::chrono::milliseconds connectRetryDelay{250};
  std::chrono::milliseconds burstPeriod{1000};
  std::chrono::milliseconds keepAlivePeriod{10000};
  std::chrono::milliseconds routeSentencePause{250};
};

// A Bluetooth device as the recording source or the playback destination:
// the Serial Port channel found by a service search, a stream socket
// connected to it, then the receiving and sending threads of the link base.
//
// Source: the receiving thread writes the head lines and cuts the device's
// bytes into sentences for the recording; the sending thread sends the
// placeholder sentence every ten seconds. Destination: the receiving thread
// reads and drops what the device sends; the sending thread sends one burst
// of sentences per second and the routes asked for, as the serial link does.
class BluetoothLink : public CommLink {
 public:
  // A connect refused because the device still holds an earlier connection
  // to the channel is tried again after a short wait.
  static constexpr int kConnectBusyError = EBUSY;
  static constexpr int kMaxConnectRetries = 60;
  // How long one has-data or is-closed test waits on the socket.
  static constexpr std::chrono::milliseconds kEventWait{250};
  static constexpr int kCloseTests = 10;

  BluetoothLink(Navigator& navigator, Prompter& prompter, BluetoothDiscovery& discovery,
                BluetoothSocketFactory& sockets, BluetoothChannelChooser& chooser);
  ~BluetoothLink() override;

  // The selected device; takes effect at the next start.
  void SetDevice(const BluetoothDeviceEntry& device);
  BluetoothDeviceEntry Device() const;
  void SetTiming(const BluetoothLinkTiming& timing);

  // Source role (RecvFromRouteRepresentationSocketProc and the keep-alive),
  // recording into a new track file. False when the link did not start;
  // its message has been shown, unless the user cancelled the channel choice.
  bool StartRecording();
  // Destination role (drain and SendToRouteRepresentationSocketProc).
  bool StartPlayback();

  // Shuts the socket down, waits for the peer's close, then stops as every
  // link does. Returns the kept track file's path, or empty.
  std::string Stop();

  // The connected RFCOMM channel; 0 while stopped.
  std::uint8_t Channel() const { return channel_.load(); }
  // Waits up to kEventWait: the socket has something to receive.
  bool HasData();
  // Waits up to kEventWait: the peer has closed the connection.
  bool IsClosed();

 protected:
  std::unique_ptr<ByteStream> OpenDevice() override;

 private:
  bool Started(bool started);
  int ConnectSocket(std::uint64_t address, std::uint8_t channel);
  BluetoothSocketStream::Event WaitForEvent();
  void ReceiveSentences(bool handOver);
  void KeepAlive();
  // False when the send failed (reported while running) or was stopped.
  bool SendOrReport(std::string_view bytes);
  void ShowError(std::string text);

  BluetoothDiscovery& discovery_;
  BluetoothSocketFactory& sockets_;
  BluetoothChannelChooser& chooser_;
  BluetoothLinkTiming timing_;

  mutable std::mutex deviceMutex_;
  BluetoothDeviceEntry device_;
  // The name of the running link's device, for its messages and head line.
  std::string activeName_;
  std::atomic<std::uint8_t> channel_{0};
  // The base's stream while it is open.
  BluetoothSocketStream* socket_ = nullptr;
};

}  // namespace orv
