#pragma once

#include <chrono>
#include <string>

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

 private:
  bool Open();
  // Notes the failed call and its errno; returns false.
  bool Failed(const char* call);

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string error_;
};

// Milliseconds left until deadline for poll(): 0 once it has passed.
int MillisecondsUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace orv::test
