// The platform started once for a test program, and pumping its queued work.
#include "tests/support/gui_test_env.h"

#include <chrono>
#include <cstdlib>


#include "platform/application.h"
#include "platform/event_pump.h"

namespace test_support {

void EnsurePlatform() {
  static bool started = false;
  if (started) return;
  started = true;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "kestrova-tests";
  static char* argv[] = {name, nullptr};
  InitPlatform(argc, argv);
}

void PumpEvents() { ProcessPendingEvents(5); }

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool PumpUntil(bool (*pred)(), int timeoutMs) { return PumpUntilFn(pred, timeoutMs); }

}  // namespace test_support
