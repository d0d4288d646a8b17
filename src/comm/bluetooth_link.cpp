#include "comm/bluetooth_link.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <thread>

#include "comm/bluetooth_messages.h"
#include "comm/sentence_cutter.h"
#include "nmea/proprietary_lines.h"
#include "platform/prompter.h"
#include "platform/system_error.h"

namespace orv {
namespace {

constexpr std::size_t kReadBlock = 512;

// "NAME,Channel:5": the source text of the head line.
std::string HeadSourceText(std::string_view name, std::uint8_t channel) {
  std::string text(name);
  if (channel != 0) {
    char digits[4];
    const auto result = std::to_chars(digits, digits + sizeof digits, channel);
    text += ",Channel:";
    text.append(digits, result.ptr);
  }
  return text;
}

}  // namespace

BluetoothLink::BluetoothLink(Navigator& navigator, Prompter& prompter,
                             BluetoothDiscovery& discovery, BluetoothSocketFactory& sockets,
                             BluetoothChannelChooser& chooser)
    : CommLink(navigator, prompter), discovery_(discovery), sockets_(sockets), chooser_(chooser) {}

BluetoothLink::~BluetoothLink() {
  Stop();
}

void BluetoothLink::SetDevice(const BluetoothDeviceEntry& device) {
  std::lock_guard lock(deviceMutex_);
  device_ = device;
}

BluetoothDeviceEntry BluetoothLink::Device() const {
  std::lock_guard lock(deviceMutex_);
  return device_;
}

void BluetoothLink::SetTiming(const BluetoothLinkTiming& timing) {
  timing_ = timing;
  playback_.SetPacing({timing.burstPeriod, timing.routeSentencePause});
}

bool BluetoothLink::StartRecording() {
  return Started(Start({[this] { ReceiveSentences(true); }, kBtReceiveThreadFailedText},
                       {[this] { KeepAlive(); }, kBtSendThreadFailedText}, true));
}

// The drain and SendToRouteRepresentationSocketProc.
bool BluetoothLink::StartPlayback() {
  return Started(StartDestination(
      {[this] { ReceiveSentences(false); }, kBtReceiveThreadFailedText},
      [this](std::string_view bytes) { return SendOrReport(bytes); }, kBtSendThreadFailedText));
}

bool BluetoothLink::Started(bool started) {
  // A start that failed after the device opened has closed it again.
  if (!started && !IsActive()) {
    socket_ = nullptr;
    channel_ = 0;
  }
  return started;
}

std::unique_ptr<ByteStream> BluetoothLink::OpenDevice() {
  const BluetoothDeviceEntry device = Device();
  activeName_ = device.name;
  const std::optional<std::uint8_t> channel =
      ChooseSerialPortChannel(discovery_, device, prompter_, chooser_);
  if (!channel) return nullptr;

  const int socket = ConnectSocket(device.address, *channel);
  if (socket < 0) return nullptr;

  // Non-blocking, so that reads and writes wait beside the link's wake-ups.
  const int flags = ::fcntl(socket, F_GETFL);
  if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) {
    ShowError(BluetoothFailureMessage(kBtEventSelectFailedText, errno, activeName_));
    ::close(socket);
    return nullptr;
  }
  auto stream = std::make_unique<BluetoothSocketStream>(socket);
  if (!stream->IsUsable()) {
    ShowError(BluetoothFailureMessage(kBtEventSelectFailedText, errno, activeName_));
    return nullptr;
  }
  channel_ = *channel;
  socket_ = stream.get();
  return stream;
}

int BluetoothLink::ConnectSocket(std::uint64_t address, std::uint8_t channel) {
  for (int attempt = 0;; ++attempt) {
    int error = 0;
    const int socket = sockets_.Create(error);
    if (socket < 0) {
      ShowError(BluetoothFailureMessage(kBtSocketFailedText, error, activeName_));
      return -1;
    }
    error = sockets_.Connect(socket, address, channel);
    if (error == 0) return socket;
    // Linux leaves a socket whose connect failed unusable, so every try
    // takes a fresh one.
    ::close(socket);
    if (error != kConnectBusyError || attempt == kMaxConnectRetries) {
      ShowError(BluetoothFailureMessage(kBtConnectFailedText, error, activeName_));
      return -1;
    }
    std::this_thread::sleep_for(timing_.connectRetryDelay);
  }
}

std::string BluetoothLink::Stop() {
  std::string keptPath;
  if (socket_ != nullptr) {
    sendRun_.Clear();
    receiveRun_.Clear();
    socket_->Shutdown();
    for (int test = 0; test < kCloseTests; ++test) {
      if (IsClosed()) break;
    }
  }
  keptPath = CommLink::Stop();
  socket_ = nullptr;
  channel_ = 0;
  activeName_.clear();
  return keptPath;
}

BluetoothSocketStream::Event BluetoothLink::WaitForEvent() {
  if (socket_ == nullptr) return BluetoothSocketStream::Event::kClosed;
  const BluetoothSocketStream::Event event = socket_->WaitForEvent(kEventWait);
  if (event == BluetoothSocketStream::Event::kFailed) {
    ReportSystemError(prompter_, kWaitOperation, activeName_, errno);
  }
  return event;
}

bool BluetoothLink::HasData() {
  return WaitForEvent() == BluetoothSocketStream::Event::kData;
}

bool BluetoothLink::IsClosed() {
  return WaitForEvent() == BluetoothSocketStream::Event::kClosed;
}

// RecvFromRouteRepresentationSocketProc when handing over; the
// destination's drain when not.
void BluetoothLink::ReceiveSentences(bool handOver) {
  if (handOver && recorder_.IsRecording()) {
    recorder_.WriteHead(HeadSourceText(activeName_, channel_.load()));
  }
  SentenceCutter cutter;
  char block[kReadBlock];
  while (receiveRun_.IsSet()) {
    const IoResult read = stream_->Read(block, sizeof block);
    if (read.status == IoStatus::kStopped) return;
    if (read.status == IoStatus::kFailed) {
      // A drained destination just stops reading; its sends report.
      if (handOver && receiveRun_.IsSet()) {
        ShowError(BluetoothFailureMessage(kBtReceiveFailedText, read.error, activeName_));
      }
      return;
    }
    for (std::size_t i = 0; i < read.bytes; ++i) {
      if (!receiveRun_.IsSet()) return;
      const std::optional<std::string_view> line = cutter.Feed(block[i]);
      if (line && handOver && !recorder_.HandleLine(*line, activeName_)) return;
    }
  }
}

void BluetoothLink::KeepAlive() {
  const std::string line = PlaceholderLine();
  do {
    // A device that no longer takes data ends the keep-alive quietly; the
    // receiving side reports the broken connection.
    if (stream_->Write(line).status != IoStatus::kDone) return;
  } while (sendRun_.SleepFor(timing_.keepAlivePeriod));
}

bool BluetoothLink::SendOrReport(std::string_view bytes) {
  const IoResult written = stream_->Write(bytes);
  // A send cut short by Stop is no failure to show.
  if (written.status == IoStatus::kFailed && sendRun_.IsSet()) {
    ShowError(BluetoothFailureMessage(kBtSendFailedText, written.error, activeName_));
  }
  return written.status == IoStatus::kDone;
}

void BluetoothLink::ShowError(std::string text) {
  ShowBluetoothError(prompter_, std::move(text));
}

}  // namespace orv
