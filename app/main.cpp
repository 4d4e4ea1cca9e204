// The program's entry point: starts the platform and hands over to WinMain.
#include "app/win_main.h"
#include "platform/gui/application.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"

int main(int argc, char** argv) {
  InitPlatform(argc, argv);
  return WinMain(&kBuiltinResources, nullptr, "", SW_SHOW);
}
