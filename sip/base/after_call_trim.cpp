// Trimming the heap once the last call is gone.
#include "sip/base/after_call_trim.h"

#include <malloc.h>

bool AfterCallTrim::Iterated(int calls, Clock::time_point now) {
  if (calls > 0)
    due_.reset();
  else if (calls_ > 0)
    due_ = now + kPause;
  calls_ = calls;
  if (!due_ || now < *due_) return false;
  due_.reset();
  // Every arena, not only the main one: the SIP and media threads allocate in their own.
  malloc_trim(0);
  return true;
}
