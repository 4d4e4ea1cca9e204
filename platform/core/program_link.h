// What ties a worker thread (the video reader, the relay commands) to the program's objects: the window,
// the tray record, the skin, the display record and the picture file. A worker touches them only while
// it holds its link; shutdown cuts the link of workers that outlived their bound, and they then touch
// none of them again, however long they still run.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>

class ProgramLink {
 public:
  // Held while a worker touches the program's objects; false once the link is cut.
  class Hold {
   public:
    explicit operator bool() const { return lock_.owns_lock(); }

   private:
    friend class ProgramLink;
    Hold() = default;
    explicit Hold(std::unique_lock<std::timed_mutex> lock) : lock_(std::move(lock)) {}
    std::unique_lock<std::timed_mutex> lock_;
  };

  // Waits while a cut is being made.
  Hold Take() {
    std::unique_lock lock(mutex_);
    if (cut_) return Hold();
    return Hold(std::move(lock));
  }

  // No hold is granted from now on; waits at most `bound` for the hold in progress to be let go.
  // False when a worker still holds it then (it is stuck inside a drawing).
  bool Cut(std::chrono::milliseconds bound) {
    cut_ = true;
    std::unique_lock lock(mutex_, std::defer_lock);
    return lock.try_lock_for(bound);
  }

 private:
  std::timed_mutex mutex_;
  std::atomic<bool> cut_{false};
};
