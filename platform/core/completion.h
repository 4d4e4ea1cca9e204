// A one-shot completion between threads: one side completes it once, with a result, and the other
// asks whether it is done or waits for it within a bound.
#pragma once

#include <chrono>
#include <condition_variable>

#include "platform/core/annotated_mutex.h"

template <typename Result = bool>
class Completion {
 public:
  void Complete(Result result = Result{}) {
    {
      Lock lock(mutex_);
      result_ = result;
      done_ = true;
    }
    cv_.notify_all();
  }

  bool Done() const {
    Lock lock(mutex_);
    return done_;
  }

  // True when it completed within the timeout.
  bool WaitFor(std::chrono::milliseconds timeout) const {
    Lock lock(mutex_);
    return lock.WaitFor(cv_, timeout, [this]() REQUIRES(mutex_) { return done_; });
  }

  // What it was completed with; Result{} before that.
  Result Value() const {
    Lock lock(mutex_);
    return result_;
  }

 private:
  mutable Mutex mutex_;
  mutable std::condition_variable_any cv_;
  bool done_ GUARDED_BY(mutex_) = false;
  Result result_ GUARDED_BY(mutex_){};
};
