#pragma once

#include <termios.h>

#include <memory>
#include <string>

#include "comm/fd_byte_stream.h"

namespace orv {

enum class PortAccess { kReadWrite, kWriteOnly };

// A serial device opened as the receiver's port: it must exist already, it
// is not made the controlling terminal, and a tty is put in raw mode (CR LF
// pass untouched) with the baud rate and framing it already has. Other
// openers are refused while it is open. The tty's settings come back when
// the stream is destroyed.
class TtyStream : public FdByteStream {
 public:
  // Null with `error` set to the errno of the failure.
  static std::unique_ptr<TtyStream> Open(const std::string& path, PortAccess access, int& error);
  ~TtyStream() override;

 private:
  TtyStream(int fd, bool isTty, const termios& saved);

  bool isTty_;
  termios saved_;
};

}  // namespace orv
