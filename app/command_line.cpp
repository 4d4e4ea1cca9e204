// The options answered on the terminal: version, help, and the log-in start switched on or off.
#include "app/command_line.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "app/autostart_entry.h"
#include "state/program.h"
#include "state/user_files.h"

namespace {

constexpr int kUsageError = 2;

int PrintHelp() {
  const std::string folder = SettingsFolder();
  std::printf(
      "Usage: kestrova [--version | --help | --autostart on|off | --visitors]\n"
      "Door intercom client: watches a door unit on the local network in a small window.\n"
      "Without these options it starts a copy of the program; other arguments are ignored.\n"
      "\n"
      "  --version           print the program's name and version, then end\n"
      "  --help              print this help, then end\n"
      "  --autostart on|off  start the program at log-in, or no longer\n"
      "  --visitors          show the visitor log in the running copy with the lowest\n"
      "                      instance number, or start a copy that shows it\n"
      "\n"
      "Settings file: %s/Kestrova.ini\n"
      "Skin folder:   Skin in the current folder, else %s/Skin\n"
      "See kestrova(1).\n",
      folder.c_str(), folder.c_str());
  return 0;
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      std::printf("%s\n", kProgramName);
      return 0;
    }
    if (arg == "--help") return PrintHelp();
    if (arg == "--autostart") {
      const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
      if (value == "on") return SetAutostart(true) ? 0 : 1;
      if (value == "off") return SetAutostart(false) ? 0 : 1;
      std::fprintf(stderr, "kestrova: --autostart takes on or off\n");
      return kUsageError;
    }
  }
  return std::nullopt;
}
