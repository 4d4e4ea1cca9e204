// Handing the memory a finished call freed back to the system.
#pragma once

#include <chrono>
#include <optional>

// The heap keeps what a call's audio graph (echo canceller, codecs, jitter buffers) freed, about 2 MB,
// in pieces it does not return by itself; a telephone that waits for the next visitor for days should
// not hold it. Fed once per iteration of the core, it trims the heap kPause after the last call ended.
class AfterCallTrim {
 public:
  using Clock = std::chrono::steady_clock;
  // The media threads have ended and released their buffers by then.
  static constexpr std::chrono::seconds kPause{2};

  // calls: the core's number of calls now. True when it trimmed.
  bool Iterated(int calls, Clock::time_point now);

 private:
  int calls_ = 0;
  std::optional<Clock::time_point> due_;
};
