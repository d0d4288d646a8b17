#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "comm/comm_link.h"

namespace orv {

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

  void SetTiming(const SerialLinkTiming& timing);

  // Source role: RecvFromSerialPortReceiverProc and KeepAliveSerialPortProc,
  // recording into a new track file.
  bool StartRecording();
  // Destination role: DrainSerialPortProc and SendToSerialPortReceiverProc.
  bool StartPlayback();

 protected:
  std::unique_ptr<ByteStream> OpenDevice() override;

 private:
  void ReceiveSentences(bool handOver);
  void KeepAlive();
  // False when the write failed (reported) or was stopped.
  bool WriteOrReport(std::string_view bytes);

  std::string portName_;
  std::string openedPortName_;
  int virtualPortNumber_ = -1;
  VirtualPortOpener virtualPortOpener_;
  SerialLinkTiming timing_;
};

}  // namespace orv
