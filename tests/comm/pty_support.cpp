#include "pty_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orv::test {

PtyPair::PtyPair() {
  if (!Open()) {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    slave_ = master_ = -1;
  }
}

bool PtyPair::Open() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master_ < 0) return Failed("posix_openpt");
  if (grantpt(master_) != 0) return Failed("grantpt");
  if (unlockpt(master_) != 0) return Failed("unlockpt");
  char path[128];
  if (ptsname_r(master_, path, sizeof path) != 0) return Failed("ptsname_r");
  slavePath_ = path;
  slave_ = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (slave_ < 0) return Failed("open slave");
  // A fresh pty translates CR and echoes; a port read for NMEA must not.
  termios settings{};
  if (tcgetattr(slave_, &settings) != 0) return Failed("tcgetattr");
  cfmakeraw(&settings);
  if (tcsetattr(slave_, TCSANOW, &settings) != 0) return Failed("tcsetattr");
  return true;
}

PtyPair::~PtyPair() {
  if (slave_ >= 0) close(slave_);
  CloseMaster();
}

bool PtyPair::Failed(const char* call) {
  error_ = std::string(call) + ": " + std::strerror(errno);
  return false;
}

void PtyPair::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

bool WriteAll(int fd, std::string_view bytes, std::chrono::steady_clock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t count = write(fd, bytes.data(), bytes.size());
    if (count > 0) {
      bytes.remove_prefix(static_cast<size_t>(count));
      continue;
    }
    if (count < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd wait{fd, POLLOUT, 0};
    if (poll(&wait, 1, MillisecondsUntil(deadline)) <= 0) return false;
  }
  return true;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace orv::test
