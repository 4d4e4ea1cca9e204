// The pictures a visit keeps: the reader hands over every complete picture, and while a visit is armed
// the first one from its start on and the one two seconds after that go to the log.
#pragma once

#include <functional>
#include <string>

#include "platform/core/annotated_mutex.h"
#include "visitors/visit.h"

namespace visitors {

inline constexpr TimeMs kSecondPictureAfterMs = 2'000;

class PictureCapture {
 public:
  // Called with a picture to keep (slot 0 or 1), outside the lock, on the thread that handed it in.
  using Keep = std::function<void(const std::string& unit, TimeMs startMs, int slot, std::string jpeg)>;
  explicit PictureCapture(Keep keep) : keep_(std::move(keep)) {}

  // The reader, after each complete picture: bytes is swapped with the kept last picture, so the
  // caller gets a buffer back to reuse and the picture is never copied unless a visit wants it.
  void Complete(std::string& bytes, TimeMs now) EXCLUDES(mutex_);
  // The window thread, when a visit of this copy's unit starts: its first picture is the last one
  // when that arrived from the start on (the flag comes in the picture's own header), else the next.
  void Arm(const std::string& unit, TimeMs startMs) EXCLUDES(mutex_);
  // The last complete picture (for a notification), empty when there is none.
  std::string Last() const EXCLUDES(mutex_);
  // The reader lost its connection: an old picture must not pass for a new visit's.
  void Forget() EXCLUDES(mutex_);

 private:
  const Keep keep_;
  mutable Mutex mutex_;
  std::string last_ GUARDED_BY(mutex_);
  TimeMs lastAt_ GUARDED_BY(mutex_) = -1;
  std::string unit_ GUARDED_BY(mutex_);
  TimeMs startMs_ GUARDED_BY(mutex_) = 0;
  int nextSlot_ GUARDED_BY(mutex_) = 2;  // 2: not armed
  TimeMs dueAt_ GUARDED_BY(mutex_) = 0;
};

}  // namespace visitors
