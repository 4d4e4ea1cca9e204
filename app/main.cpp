// The program's entry point: starts the platform and hands over to WinMain.
#include "app/app_globals.h"
#include "platform/application.h"
#include "platform/window.h"
#include "resources/builtin.h"

int main(int argc, char** argv) {
  InitPlatform(argc, argv);
  return WinMain(&kBuiltinResources, nullptr, "", SW_SHOW);
}
