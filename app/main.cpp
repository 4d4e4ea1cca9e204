// The program's entry point: answers the terminal's options, or starts the platform and hands over to
// WinMain.
#include "app/command_line.h"
#include "app/win_main.h"
#include "platform/gui/application.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"

int main(int argc, char** argv) {
  // Before the toolkit: these answers need no display, and take no lock.
  if (const std::optional<int> answered = AnswerCommandLine(argc, argv)) return *answered;
  InitPlatform(argc, argv);
  return WinMain(&kBuiltinResources, nullptr, "", SW_SHOW);
}
