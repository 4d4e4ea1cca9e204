// The program's entry in the user's autostart folder.
#include "app/autostart_entry.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

#include "platform/core/autostart.h"
#include "state/program.h"

namespace {

// The running binary's own path, so that a copy installed outside PATH starts too; else its name.
std::string OwnExecutable() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "kestrova";
  return std::string(path, static_cast<std::size_t>(n));
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
