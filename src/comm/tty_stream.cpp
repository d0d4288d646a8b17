#include "comm/tty_stream.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace orv {

std::unique_ptr<TtyStream> TtyStream::Open(const std::string& path, PortAccess access, int& error) {
  const int mode = access == PortAccess::kWriteOnly ? O_WRONLY : O_RDWR;
  const int fd = open(path.c_str(), mode | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  termios saved{};
  const bool isTty = isatty(fd) != 0;
  if (isTty) {
    if (tcgetattr(fd, &saved) != 0) {
      error = errno;
      close(fd);
      return nullptr;
    }
    termios raw = saved;
    // cfmakeraw leaves the speeds alone: the port keeps its baud rate.
    cfmakeraw(&raw);
    raw.c_cflag |= CREAD | CLOCAL;
    if (tcsetattr(fd, TCSANOW, &raw) != 0) {
      error = errno;
      close(fd);
      return nullptr;
    }
    ioctl(fd, TIOCEXCL);
  }
  std::unique_ptr<TtyStream> stream(new TtyStream(fd, isTty, saved));
  if (!stream->IsUsable()) {
    error = errno != 0 ? errno : EMFILE;
    return nullptr;
  }
  error = 0;
  return stream;
}

TtyStream::TtyStream(int fd, bool isTty, const termios& saved)
    : FdByteStream(fd, EIO), isTty_(isTty), saved_(saved) {}

TtyStream::~TtyStream() {
  if (!isTty_) return;
  ioctl(Descriptor(), TIOCNXCL);
  tcsetattr(Descriptor(), TCSANOW, &saved_);
}

}  // namespace orv
