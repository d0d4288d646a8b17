#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "comm/fd_byte_stream.h"

namespace orv {

inline constexpr std::string_view kGpsdScheme = "gpsd://";
// Asks gpsd for the receiver's sentences as they arrive.
inline constexpr std::string_view kGpsdWatchCommand = "?WATCH={\"enable\":true,\"nmea\":true};\n";

struct GpsdAddress {
  std::string host;
  std::string port;
};

// "gpsd://HOST:PORT" (HOST may be "[v6]"); nothing for another form.
std::optional<GpsdAddress> ParseGpsdAddress(std::string_view portName);

// The built-in GPS as gpsd serves it over TCP: after the watch request the
// connection carries the receiver's NMEA, read like a serial port. gpsd's
// own JSON lines (version, devices, watch replies) are left out, so that
// only sentences reach the cutter.
class GpsdStream : public FdByteStream {
 public:
  // Connects and sends the watch request; null with `error` (an errno) when
  // the name is not a gpsd address, the host is unknown or gpsd is not there.
  static std::unique_ptr<GpsdStream> Open(std::string_view portName, int& error);

  IoResult Read(char* buffer, size_t size) override;
  // gpsd takes no receiver commands; keep-alive sentences are not sent.
  bool TakesReceiverCommands() const override { return false; }

 private:
  explicit GpsdStream(int fd);

  // Removes the JSON lines from the bytes just read; returns the bytes kept.
  size_t DropJsonLines(char* buffer, size_t size);

  bool atLineStart_ = true;
  bool inJsonLine_ = false;
};

}  // namespace orv
