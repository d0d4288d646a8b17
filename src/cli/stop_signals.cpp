#include "cli/stop_signals.h"

#include <pthread.h>

#include <ctime>

namespace orv::cli {

StopSignals::StopSignals() {
  sigemptyset(&set_);
  sigaddset(&set_, SIGINT);
  sigaddset(&set_, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set_, &previous_);
}

StopSignals::~StopSignals() {
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool StopSignals::Wait(std::chrono::milliseconds timeout) {
  const timespec wait{static_cast<time_t>(timeout.count() / 1000),
                      static_cast<long>(timeout.count() % 1000) * 1'000'000L};
  return sigtimedwait(&set_, nullptr, &wait) > 0;
}

}  // namespace orv::cli
