// Picking a visit's two pictures out of the stream.
#include "visitors/picture_capture.h"

namespace visitors {

void PictureCapture::Complete(std::string& bytes, TimeMs now) {
  std::string unit;
  TimeMs startMs = 0;
  int slot = -1;
  std::string wanted;
  {
    Lock lock(mutex_);
    last_.swap(bytes);
    lastAt_ = now;
    if (nextSlot_ < 2 && now >= dueAt_) {
      slot = nextSlot_++;
      unit = unit_;
      startMs = startMs_;
      dueAt_ = now + kSecondPictureAfterMs;
      wanted = last_;
    }
  }
  if (slot >= 0) keep_(unit, startMs, slot, std::move(wanted));
}

void PictureCapture::Arm(const std::string& unit, TimeMs startMs) {
  std::string wanted;
  {
    Lock lock(mutex_);
    unit_ = unit;
    startMs_ = startMs;
    nextSlot_ = 0;
    dueAt_ = startMs;
    if (lastAt_ < startMs || last_.empty()) return;
    nextSlot_ = 1;
    dueAt_ = lastAt_ + kSecondPictureAfterMs;
    wanted = last_;
  }
  keep_(unit, startMs, 0, std::move(wanted));
}

std::string PictureCapture::Last() const {
  Lock lock(mutex_);
  return last_;
}

void PictureCapture::Forget() {
  Lock lock(mutex_);
  last_.clear();
  lastAt_ = -1;
}

}  // namespace visitors
