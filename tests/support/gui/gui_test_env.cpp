// The platform started once for a test program, and pumping its queued work.
#include "tests/support/gui/gui_test_env.h"

#include <cstdlib>

#include "platform/gui/application.h"
#include "platform/gui/event_pump.h"

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

}  // namespace test_support
