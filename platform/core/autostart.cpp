// Writing and removing entries in the user's XDG autostart folder.
#include "platform/core/autostart.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/core/diagnostics.h"
#include "platform/core/folders.h"
#include "platform/core/replace_file.h"

std::string AutostartFolder() {
  // Without XDG_CONFIG_HOME and HOME the config home is the current folder: no place for log-in entries.
  const std::string config = XdgConfigHome();
  return config == "." ? std::string() : config + "/autostart";
}

bool WriteAutostartEntry(const std::string& fileName, const std::string& text) {
  const std::string folder = AutostartFolder();
  if (folder.empty()) {
    Diag(DiagLevel::Error, "neither XDG_CONFIG_HOME nor HOME is set: no autostart folder");
    return false;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!DirectoryExists(folder.c_str())) {
    Diag(DiagLevel::Error, "cannot create the autostart folder %s", folder.c_str());
    return false;
  }
  return ReplaceFile(folder + "/" + fileName, text, 0644);
}

bool RemoveAutostartEntry(const std::string& fileName) {
  const std::string folder = AutostartFolder();
  if (folder.empty()) return true;
  const std::string entry = folder + "/" + fileName;
  if (unlink(entry.c_str()) == 0 || errno == ENOENT) return true;
  Diag(DiagLevel::Error, "cannot remove %s: %s", entry.c_str(), std::strerror(errno));
  return false;
}

std::string DesktopExecArgument(const std::string& argument) {
  // A field code's percent sign is doubled in every argument; quoting is needed for the reserved
  // characters, and inside quotes four characters take a backslash.
  std::string escaped;
  bool quote = argument.empty();
  for (const char c : argument) {
    if (c == '%') {
      escaped += "%%";
      continue;
    }
    if (std::strchr(" \t\n\"'\\><~|&;$*?#()`", c) != nullptr) quote = true;
    if (c == '"' || c == '`' || c == '$' || c == '\\') escaped += '\\';
    escaped += c;
  }
  // The value's own escapes come on top: a backslash is doubled, control characters are named.
  std::string value;
  for (const char c : quote ? "\"" + escaped + "\"" : escaped) {
    if (c == '\n')
      value += "\\n";
    else if (c == '\t')
      value += "\\t";
    else if (c == '\r')
      value += "\\r";
    else
      value += c == '\\' ? std::string(2, c) : std::string(1, c);
  }
  return value;
}
