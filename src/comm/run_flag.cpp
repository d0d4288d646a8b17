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
    nudged_ = true;
  }
  changed_.notify_all();
}

bool RunFlag::IsSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool RunFlag::SleepUntil(std::chrono::steady_clock::time_point deadline) const {
  std::unique_lock lock(mutex_);
  changed_.wait_until(lock, deadline, [this] { return !set_ || nudged_; });
  nudged_ = false;
  return set_;
}

}  // namespace orv
