// Locating, creating and vetting the per-user runtime folder.
#include "platform/core/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/core/diagnostics.h"

namespace {

std::string FolderPath() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg != nullptr && xdg[0] != '\0') return std::string(xdg) + "/kestrova";
  return "/tmp/kestrova-" + std::to_string(static_cast<unsigned long>(geteuid()));
}

}  // namespace

std::string RuntimeFolder() {
  const std::string path = FolderPath();
  if (mkdir(path.c_str(), 0700) == 0) {
    // The umask may have taken away some of the owner's bits; the checks below need exactly 0700.
    if (chmod(path.c_str(), 0700) != 0) {
      Diag(DiagLevel::Error, "runtime folder %s: cannot set its mode: %s", path.c_str(),
           std::strerror(errno));
      return "";
    }
  } else if (errno != EEXIST) {
    Diag(DiagLevel::Error, "runtime folder %s: cannot create it: %s", path.c_str(), std::strerror(errno));
    return "";
  }

  // Whatever is there now may have been put there by someone else (in /tmp anybody can):
  // lock files are only meaningful in a folder no other user can tamper with.
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    Diag(DiagLevel::Error, "runtime folder %s: cannot inspect it: %s", path.c_str(), std::strerror(errno));
    return "";
  }
  if (S_ISLNK(st.st_mode)) {
    Diag(DiagLevel::Error, "runtime folder %s is a symbolic link; refused", path.c_str());
    return "";
  }
  if (!S_ISDIR(st.st_mode)) {
    Diag(DiagLevel::Error, "runtime folder %s is not a directory; refused", path.c_str());
    return "";
  }
  if (st.st_uid != geteuid()) {
    Diag(DiagLevel::Error, "runtime folder %s belongs to uid %lu, not to us; refused", path.c_str(),
         static_cast<unsigned long>(st.st_uid));
    return "";
  }
  if ((st.st_mode & 077) != 0) {
    Diag(DiagLevel::Error, "runtime folder %s has mode %04o, open to group or others; refused", path.c_str(),
         static_cast<unsigned>(st.st_mode & 0777));
    return "";
  }
  return path;
}
