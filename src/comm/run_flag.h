#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orv {

// A thread's run flag: set while the thread may run. Its owner clears it to
// ask the thread to end; the thread tests it between steps and sleeps on it,
// so that a cleared flag cuts a sleep short instead of waiting it out.
class RunFlag {
 public:
  void Set();
  void Clear();
  bool IsSet() const;

  // Cuts the current sleep short without clearing the flag, for work that
  // should not wait for the sleeper's next turn. A nudge while nobody sleeps
  // cuts the next sleep short, so none is lost.
  void Nudge();

  // Sleeps until the deadline, until the flag is cleared or until nudged;
  // returns whether the flag is still set. A sleeper woken early must look
  // for its work and sleep again when there is none.
  bool SleepUntil(std::chrono::steady_clock::time_point deadline) const;
  bool SleepFor(std::chrono::steady_clock::duration duration) const {
    return SleepUntil(std::chrono::steady_clock::now() + duration);
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool set_ = false;
  mutable bool nudged_ = false;
};

}  // namespace orv
