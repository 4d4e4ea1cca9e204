// What ties a worker thread (the video reader, the relay commands) to the program's objects: the window,
// the tray record, the skin, the display record and the picture file. A worker touches them only while
// it holds its link; shutdown cuts the link of workers that outlived their bound, and they then touch
// none of them again, however long they still run.
#pragma once

#include <chrono>
#include <condition_variable>

#include "platform/core/annotated_mutex.h"

class ProgramLink {
 public:
  // Held while a worker touches the program's objects; false once the link is cut. One hold at a time.
  class Hold {
   public:
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() {
      if (link_ != nullptr) link_->Release();
    }
    explicit operator bool() const { return link_ != nullptr; }

   private:
    friend class ProgramLink;
    explicit Hold(ProgramLink* link) : link_(link) {}
    ProgramLink* link_;
  };

  // Waits while another hold is held or a cut is being made.
  Hold Take() {
    Lock lock(mutex_);
    lock.Wait(changed_, [this]() REQUIRES(mutex_) { return !held_; });
    if (cut_) return Hold(nullptr);
    held_ = true;
    return Hold(this);
  }

  // No hold is granted from now on; waits at most `bound` for the hold in progress to be let go.
  // False when a worker still holds it then (it is stuck inside a drawing).
  bool Cut(std::chrono::milliseconds bound) {
    Lock lock(mutex_);
    cut_ = true;
    return lock.WaitFor(changed_, bound, [this]() REQUIRES(mutex_) { return !held_; });
  }

 private:
  // A mutex held across the hold would do, but a bounded wait for it (a timed lock) is invisible to the
  // thread sanitizer here; a flag under a plain mutex is not.
  void Release() {
    {
      Lock lock(mutex_);
      held_ = false;
    }
    changed_.notify_all();
  }

  Mutex mutex_;
  std::condition_variable_any changed_;
  bool held_ GUARDED_BY(mutex_) = false;
  bool cut_ GUARDED_BY(mutex_) = false;
};
