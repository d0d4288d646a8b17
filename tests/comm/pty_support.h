#pragma once

#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace orv::test {

// A pseudo-terminal pair standing in for a serial port: what is written to
// the master arrives at the slave as a receiver's bytes arrive at a port.
// The slave is in raw mode, as a program reading NMEA must set its port, so
// CR and LF pass unchanged. Both ends are non-blocking.
class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // False when the pair could not be set up; Error() then says which call failed.
  bool IsOpen() const { return master_ >= 0 && slave_ >= 0; }
  const std::string& Error() const { return error_; }

  int Master() const { return master_; }
  int Slave() const { return slave_; }
  const std::string& SlavePath() const { return slavePath_; }

  // Takes the device away, as when a USB receiver is pulled: readers of
  // the slave get an error from then on.
  void CloseMaster();

 private:
  bool Open();
  // Notes the failed call and its errno; returns false.
  bool Failed(const char* call);

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string error_;
};

// "$BODY*HH\r\n" with the checksum of BODY.
std::string Checksummed(std::string_view body);

// The GGA and RMC a receiver sends in second `index` of a drive: 1 Hz from 10:00:00 on
// 2010-03-15, heading north at about 20 knots, 0.01' of latitude a second.
std::vector<std::string> DriveEpoch(int index);

// The sentences of the first `count` seconds of that drive.
std::vector<std::string> Drive(int count);

// Milliseconds left until deadline for poll(): 0 once it has passed.
int MillisecondsUntil(std::chrono::steady_clock::time_point deadline);

// Writes all of `bytes` to a non-blocking descriptor, waiting in poll()
// while it is full; false on an error or when the deadline passes.
bool WriteAll(int fd, std::string_view bytes, std::chrono::steady_clock::time_point deadline);

// Reads from a non-blocking descriptor into `out` until `done(out)` holds or
// the deadline passes; returns done(out).
template <typename Done>
bool ReadUntil(int fd, std::string& out, std::chrono::steady_clock::time_point deadline,
               Done&& done);

// Calls `condition` until it holds or the deadline passes, sleeping briefly
// in between; for state that no descriptor announces.
template <typename Condition>
bool WaitFor(std::chrono::steady_clock::time_point deadline, Condition&& condition);

template <typename Done>
bool ReadUntil(int fd, std::string& out, std::chrono::steady_clock::time_point deadline,
               Done&& done) {
  char block[4096];
  while (!done(out)) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, MillisecondsUntil(deadline)) <= 0) return done(out);
    const ssize_t count = read(fd, block, sizeof block);
    if (count > 0) out.append(block, static_cast<size_t>(count));
    if (count == 0 || (count < 0 && errno != EAGAIN && errno != EINTR)) return done(out);
  }
  return true;
}

template <typename Condition>
bool WaitFor(std::chrono::steady_clock::time_point deadline, Condition&& condition) {
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace orv::test
