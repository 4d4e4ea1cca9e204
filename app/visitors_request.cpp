// Finding the running copy with the lowest instance number and asking it for its Visitors window.
#include "app/visitors_request.h"

#include <string_view>

#include "platform/gui/instance_bus.h"
#include "platform/gui/window.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "visitor_window/visitors_window.h"

bool WantsVisitorsWindow(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--visitors") return true;
  return false;
}

bool AskRunningCopyForVisitors() {
  const UINT message = RegisterWindowMessage(kProgramName);
  // A copy answers its instance number (never 0); a socket left by a copy that died answers nothing.
  HWND lowest = 0;
  LRESULT lowestNumber = 0;
  for (HWND copy : RunningCopies()) {
    const LRESULT number = SendToRunningCopy(copy, message, kCodeOpenVisitors, kVisitorsAskInstanceNumber);
    if (number > 0 && (lowest == 0 || number < lowestNumber)) {
      lowest = copy;
      lowestNumber = number;
    }
  }
  if (lowest == 0) return false;
  SendToRunningCopy(lowest, message, kCodeOpenVisitors, 0);
  return true;
}
