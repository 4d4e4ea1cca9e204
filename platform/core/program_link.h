// What ties a worker thread (the video reader, the relay commands) to the program's objects: the window,
// the tray record, the skin, the display record and the picture file. A worker touches them only while
// it holds its link; shutdown cuts the link of workers that outlived their bound, and they then touch
// none of them again, however long they still run.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

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
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !held_; });
    if (cut_) return Hold(nullptr);
    held_ = true;
    return Hold(this);
  }

  // No hold is granted from now on; waits at most `bound` for the hold in progress to be let go.
  // False when a worker still holds it then (it is stuck inside a drawing).
  bool Cut(std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    cut_ = true;
    return changed_.wait_for(lock, bound, [this] { return !held_; });
  }

 private:
  // A mutex held across the hold would do, but a bounded wait for it (a timed lock) is invisible to the
  // thread sanitizer here; a flag under a plain mutex is not.
  void Release() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  bool cut_ = false;
};
