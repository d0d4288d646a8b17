#pragma once

#include <signal.h>

#include <chrono>

namespace orv::cli {

// SIGINT and SIGTERM, blocked on the constructing thread (and so on every
// thread it starts later, which inherit the mask) and taken with
// sigtimedwait, so that a signal ends a long-running command through its
// normal stop instead of killing it. The previous mask comes back on
// destruction.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // True when a stop signal arrived within the timeout.
  bool Wait(std::chrono::milliseconds timeout);

 private:
  sigset_t set_;
  sigset_t previous_;
};

}  // namespace orv::cli
