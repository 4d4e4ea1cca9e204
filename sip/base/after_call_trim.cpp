// Trimming the heap once the last call is gone.
#include "sip/base/after_call_trim.h"

#include "platform/core/free_memory.h"

bool AfterCallTrim::Iterated(int calls, Clock::time_point now) {
  if (calls > 0)
    due_.reset();
  else if (calls_ > 0)
    due_ = now + kPause;
  calls_ = calls;
  if (!due_ || now < *due_) return false;
  due_.reset();
  ReturnFreedMemory();
  return true;
}
