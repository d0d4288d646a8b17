#include "comm/run_flag.h"

namespace orv {

void RunFlag::Set() {
  std::lock_guard lock(mutex_);
  set_ = true;
}

void RunFlag::Clear() {
  {
    std::lock_guard lock(mutex_);
    set_ = false;
  }
  changed_.notify_all();
}

void RunFlag::Nudge() {
  {
    std::lock_guard lock(mutex_);
    ++nudges_;
  }
  changed_.notify_all();
}

bool RunFlag::IsSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool RunFlag::SleepUntil(std::chrono::steady_clock::time_point deadline) const {
  std::unique_lock lock(mutex_);
  const unsigned nudges = nudges_;
  changed_.wait_until(lock, deadline, [this, nudges] { return !set_ || nudges_ != nudges; });
  return set_;
}

}  // namespace orv
