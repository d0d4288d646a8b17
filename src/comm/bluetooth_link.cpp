#include "comm/bluetooth_link.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <system_error>

#include "app/navigator.h"
#include "comm/bluetooth_messages.h"
#include "comm/sentence_cutter.h"
#include "nmea/proprietary_lines.h"
#include "platform/prompter.h"
#include "platform/system_error.h"

namespace orv {
namespace {

// Bytes taken from the socket at once; the cutter still sees them one by
// one, so the lines are the same as with single-byte reads.
constexpr std::size_t kReceiveBlock = 256;

// "NAME,Channel:5": the source text of the head line.
std::string HeadSourceText(std::string_view name, std::uint8_t channel) {
  std::string text(name);
  if (channel != 0) {
    text += ",Channel:";
    text += std::to_string(channel);  // digits only; no locale involved
  }
  return text;
}

}  // namespace

void BluetoothLink::RunFlag::Set() {
  std::lock_guard lock(mutex_);
  set_ = true;
}

void BluetoothLink::RunFlag::Clear() {
  {
    std::lock_guard lock(mutex_);
    set_ = false;
  }
  changed_.notify_all();
}

bool BluetoothLink::RunFlag::SleepFor(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, duration, [this] { return !set_.load(); });
}

BluetoothLink::BluetoothLink(Role role, BluetoothLinkParts parts)
    : role_(role), parts_(parts), recorder_(parts.navigator, parts.prompter) {
  burstSource_ = [this] { return burstWriter_.NextBurst(parts_.navigator.Recorded()); };
}

BluetoothLink::~BluetoothLink() {
  // Without the keep question: the owner stops a recording link itself.
  receiveRun_.Clear();
  sendRun_.Clear();
  if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
  JoinThreads();
  if (socket_ >= 0) ::close(socket_);
}

void BluetoothLink::SetDevice(const BluetoothDeviceEntry& device) {
  std::lock_guard lock(deviceMutex_);
  device_ = device;
}

BluetoothDeviceEntry BluetoothLink::Device() const {
  std::lock_guard lock(deviceMutex_);
  return device_;
}

void BluetoothLink::SetBurstSource(std::function<std::string()> burstSource) {
  burstSource_ = std::move(burstSource);
}

bool BluetoothLink::IsActive() const {
  return receiveRun_.IsSet() || sendRun_.IsSet();
}

bool BluetoothLink::Start(bool recording) {
  if (IsActive() || socket_ >= 0) return false;
  const BluetoothDeviceEntry device = Device();
  activeName_ = device.name;

  const std::optional<std::uint8_t> channel =
      ChooseSerialPortChannel(parts_.discovery, device, parts_.prompter, parts_.chooser);
  if (!channel) return false;

  socket_ = ConnectSocket(*channel);
  if (socket_ < 0) return false;

  // Non-blocking, so the threads wait for their event and handle a would-block.
  const int flags = ::fcntl(socket_, F_GETFL);
  if (flags < 0 || ::fcntl(socket_, F_SETFL, flags | O_NONBLOCK) < 0) {
    ShowError(BluetoothFailureMessage(kBtEventSelectFailedText, errno, activeName_));
    ::close(socket_);
    socket_ = -1;
    return false;
  }

  recording_ = recording && role_ == Role::kSource;
  if (recording_ && !recorder_.Begin()) {
    ::close(socket_);
    socket_ = -1;
    return false;
  }

  channel_ = *channel;
  if (!StartThreads()) {
    ::close(socket_);
    socket_ = -1;
    channel_ = 0;
    if (recording_) recorder_.End();
    return false;
  }
  return true;
}

int BluetoothLink::ConnectSocket(std::uint8_t channel) {
  const std::uint64_t address = Device().address;
  for (int attempt = 0;; ++attempt) {
    int error = 0;
    const int socket = parts_.sockets.Create(error);
    if (socket < 0) {
      ShowError(BluetoothFailureMessage(kBtSocketFailedText, error, activeName_));
      return -1;
    }
    error = parts_.sockets.Connect(socket, address, channel);
    if (error == 0) return socket;
    // Linux leaves a socket whose connect failed unusable, so every try
    // takes a fresh one.
    ::close(socket);
    if (error != kConnectBusyError || attempt == kMaxConnectRetries) {
      ShowError(BluetoothFailureMessage(kBtConnectFailedText, error, activeName_));
      return -1;
    }
    std::this_thread::sleep_for(retryDelay_);
  }
}

bool BluetoothLink::StartThreads() {
  receiveRun_.Set();
  try {
    receiveThread_ = std::thread([this] { ReceiveLoop(); });
  } catch (const std::system_error&) {
    receiveRun_.Clear();
    ShowError(std::string(kBtReceiveThreadFailedText));
    return false;
  }
  sendRun_.Set();
  try {
    sendThread_ = std::thread([this] {
      if (role_ == Role::kSource) {
        KeepAliveLoop();
      } else {
        BurstLoop();
      }
    });
  } catch (const std::system_error&) {
    sendRun_.Clear();
    receiveRun_.Clear();
    JoinThreads();
    ShowError(std::string(kBtSendThreadFailedText));
    return false;
  }
  return true;
}

void BluetoothLink::JoinThreads() {
  if (receiveThread_.joinable()) receiveThread_.join();
  if (sendThread_.joinable()) sendThread_.join();
}

std::string BluetoothLink::Stop() {
  if (socket_ < 0) return {};
  sendRun_.Clear();
  receiveRun_.Clear();
  ::shutdown(socket_, SHUT_RDWR);
  for (int test = 0; test < kCloseTests; ++test) {
    if (IsClosed()) break;
  }
  // The threads look at their flags at least every kEventWait; none may
  // touch the socket once it is closed.
  JoinThreads();
  ::close(socket_);
  socket_ = -1;
  std::string keptPath;
  if (recording_) keptPath = recorder_.End();
  recording_ = false;
  channel_ = 0;
  activeName_.clear();
  return keptPath;
}

BluetoothLink::SocketEvent BluetoothLink::WaitForEvent(bool reportFailure) {
  pollfd watched{socket_, POLLIN | POLLRDHUP, 0};
  const int ready = ::poll(&watched, 1, static_cast<int>(kEventWait.count()));
  if (ready < 0) {
    if (errno == EINTR) return SocketEvent::kNone;
    if (reportFailure) ReportSystemError(parts_.prompter, kWaitOperation, activeName_, errno);
    return SocketEvent::kFailed;
  }
  if (ready == 0) return SocketEvent::kNone;
  if (watched.revents & (POLLRDHUP | POLLHUP | POLLERR)) {
    // Data still queued before the close is read first.
    if (watched.revents & POLLIN) {
      char probe;
      if (::recv(socket_, &probe, 1, MSG_PEEK | MSG_DONTWAIT) > 0) return SocketEvent::kData;
    }
    return SocketEvent::kClosed;
  }
  return (watched.revents & POLLIN) ? SocketEvent::kData : SocketEvent::kNone;
}

bool BluetoothLink::HasData() {
  return WaitForEvent(false) == SocketEvent::kData;
}

bool BluetoothLink::IsClosed() {
  return WaitForEvent(false) == SocketEvent::kClosed;
}

void BluetoothLink::ReceiveLoop() {
  const bool handsOver = role_ == Role::kSource;
  if (handsOver && recording_) recorder_.WriteHead(HeadSourceText(activeName_, channel_.load()));
  SentenceCutter cutter;
  std::array<char, kReceiveBlock> block;
  while (receiveRun_.IsSet()) {
    const SocketEvent event = WaitForEvent(true);
    if (event == SocketEvent::kNone) continue;
    if (event == SocketEvent::kFailed) break;
    const ssize_t received = ::recv(socket_, block.data(), block.size(), 0);
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
    if (received <= 0) {
      // A stop shuts the socket down under the thread: that end is no error.
      if (!receiveRun_.IsSet()) break;
      // A peer that went away ends the stream as a reset connection would.
      const int error = received == 0 ? ECONNRESET : errno;
      ShowError(BluetoothFailureMessage(kBtReceiveFailedText, error, activeName_));
      break;
    }
    bool keepGoing = true;
    for (ssize_t index = 0; index < received && keepGoing; ++index) {
      const std::optional<std::string_view> line = cutter.Feed(block[index]);
      if (line && handsOver) keepGoing = recorder_.HandleLine(*line, activeName_);
    }
    if (!keepGoing) break;
  }
}

int BluetoothLink::SendAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return errno;
    // Full send buffer: wait for room, unless the link is stopping.
    if (!sendRun_.IsSet()) return 0;
    pollfd watched{socket_, POLLOUT, 0};
    ::poll(&watched, 1, static_cast<int>(kEventWait.count()));
  }
  return 0;
}

void BluetoothLink::KeepAliveLoop() {
  const std::string placeholder = PlaceholderLine();
  do {
    // A device that no longer takes data ends the keep-alive quietly; the
    // receiving side reports the broken connection.
    if (SendAll(placeholder) != 0) return;
  } while (
      sendRun_.SleepFor(std::chrono::duration_cast<std::chrono::milliseconds>(kKeepAliveInterval)));
}

void BluetoothLink::BurstLoop() {
  do {
    const std::string burst = burstSource_();
    if (const int error = SendAll(burst); error != 0) {
      if (sendRun_.IsSet()) {
        ShowError(BluetoothFailureMessage(kBtSendFailedText, error, activeName_));
      }
      return;
    }
  } while (
      sendRun_.SleepFor(std::chrono::duration_cast<std::chrono::milliseconds>(kBurstInterval)));
}

void BluetoothLink::ShowError(std::string text) {
  ShowBluetoothError(parts_.prompter, std::move(text));
}

}  // namespace orv
