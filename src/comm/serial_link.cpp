#include "comm/serial_link.h"

#include "comm/port_names.h"
#include "comm/sentence_cutter.h"
#include "nmea/proprietary_lines.h"
#include "platform/system_error.h"

namespace orv {
namespace {

constexpr size_t kReadBlock = 512;

}  // namespace

SerialLink::SerialLink(Navigator& navigator, Prompter& prompter) : CommLink(navigator, prompter) {}

SerialLink::~SerialLink() {
  Stop();
}

int SerialLink::SetPortName(std::string_view name) {
  std::string stored = StoredPortName(name);
  if (stored == portName_) return 0;
  portName_ = std::move(stored);
  return 1;
}

void SerialLink::SetTiming(const SerialLinkTiming& timing) {
  timing_ = timing;
  playback_.SetPacing({timing.burstPeriod, timing.routeSentencePause});
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

// DrainSerialPortProc and SendToSerialPortReceiverProc.
bool SerialLink::StartPlayback() {
  const bool ownPort = IsOwnVirtualPort();
  return StartDestination(
      {[this, ownPort] {
         // The own virtual port is opened for writing only.
         if (!ownPort) ReceiveSentences(false);
       },
       kReceiveThreadFailedText},
      [this](std::string_view bytes) { return WriteOrReport(bytes); }, kSendThreadFailedText);
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

}  // namespace orv
