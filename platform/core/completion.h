// A one-shot completion between threads: one side completes it once, with a result, and the other
// asks whether it is done or waits for it within a bound.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

template <typename Result = bool>
class Completion {
 public:
  void Complete(Result result = Result{}) {
    {
      std::lock_guard lock(mutex_);
      result_ = result;
      done_ = true;
    }
    cv_.notify_all();
  }

  bool Done() const {
    std::lock_guard lock(mutex_);
    return done_;
  }

  // True when it completed within the timeout.
  bool WaitFor(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return done_; });
  }

  // What it was completed with; Result{} before that.
  Result Value() const {
    std::lock_guard lock(mutex_);
    return result_;
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable cv_;
  bool done_ = false;
  Result result_{};
};
