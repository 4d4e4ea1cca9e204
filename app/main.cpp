// The program's entry point: answers the terminal's options, or starts the platform and hands over to
// WinMain.
#include "app/command_line.h"
#include "app/visitors_request.h"
#include "app/win_main.h"
#include "platform/gui/application.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"

int main(int argc, char** argv) {
  // Before the toolkit: these answers need no display, and take no lock.
  if (const std::optional<int> answered = AnswerCommandLine(argc, argv)) return *answered;
  const bool visitors = WantsVisitorsWindow(argc, argv);
  // A running copy shows its window: no second copy for it.
  if (visitors && AskRunningCopyForVisitors()) return 0;
  InitPlatform(argc, argv);
  return WinMain(&kBuiltinResources, nullptr, visitors ? kVisitorsCommandLine : "", SW_SHOW);
}
