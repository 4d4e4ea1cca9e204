// The program's entry in the user's autostart folder.
#include "app/autostart_entry.h"

#include <cstdio>

#include "platform/core/autostart.h"
#include "platform/core/folders.h"
#include "state/program.h"

namespace {

// The running binary's own path, so that a copy installed outside PATH starts too; else its name.
std::string OwnExecutable() {
  const std::string path = OwnExecutablePath();
  return path.empty() ? "kestrova" : path;
}

}  // namespace

std::string AutostartEntryText(const std::string& executable) {
  return std::string(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Kestrova\n"
             "Comment=Door intercom: the door unit's camera, calls and door opener\n"
             "Exec=") +
         DesktopExecArgument(executable) +
         "\n"
         "Icon=kestrova\n"
         "Terminal=false\n"
         "StartupWMClass=" +
         kClassName +
         "\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool SetAutostart(bool on) {
  const std::string entry = AutostartFolder() + "/" + kDesktopFileName;
  if (on) {
    if (!WriteAutostartEntry(kDesktopFileName, AutostartEntryText(OwnExecutable()))) return false;
    std::printf("Kestrova starts at log-in: %s\n", entry.c_str());
  } else {
    if (!RemoveAutostartEntry(kDesktopFileName)) return false;
    std::printf("Kestrova no longer starts at log-in\n");
  }
  return true;
}
