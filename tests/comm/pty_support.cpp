#include "pty_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

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

std::string Checksummed(std::string_view body) {
  unsigned checksum = 0;
  for (char c : body) checksum ^= static_cast<unsigned char>(c);
  static constexpr char kHex[] = "0123456789ABCDEF";
  return "$" + std::string(body) + "*" + kHex[checksum >> 4] + kHex[checksum & 15] + "\r\n";
}

std::vector<std::string> DriveEpoch(int index) {
  const int second = 36000 + index;
  char time[16];
  std::snprintf(time, sizeof time, "%02d%02d%02d", second / 3600, second / 60 % 60, second % 60);
  const std::string minutes = std::to_string(10 + index / 100) + "." +
                              std::to_string(1000 + index % 100 * 10).substr(1) + "00";
  const std::string lat = "48" + minutes;
  return {Checksummed("GPGGA," + std::string(time) + "," + lat +
                      ",N,01130.0000,E,1,08,0.9,545.4,M,46.9,M,,"),
          Checksummed("GPRMC," + std::string(time) + ",A," + lat +
                      ",N,01130.0000,E,20.0,0.0,150310,,")};
}

std::vector<std::string> Drive(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    for (std::string& line : DriveEpoch(i)) lines.push_back(std::move(line));
  }
  return lines;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace orv::test
