// Environment variables and folders on POSIX.
#include "platform/core/folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

const char* GetEnv(const char* name) { return name ? std::getenv(name) : nullptr; }

bool DirectoryExists(const char* path) {
  struct stat st;
  return path != nullptr && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const char* path) {
  struct stat st;
  return path != nullptr && stat(path, &st) == 0;
}

bool CreateDirectory(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  const std::string full(path);
  // Each parent in turn; one that exists already (or is made meanwhile by another copy) is passed by.
  for (std::size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1)) {
    const std::string parent = full.substr(0, slash);
    if (mkdir(parent.c_str(), 0700) != 0 && !DirectoryExists(parent.c_str())) return false;
  }
  return mkdir(path, 0700) == 0 || DirectoryExists(path);
}

bool FileReadable(const char* path) {
  if (path == nullptr) return false;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool GetFileVersion(const char* path, FileVersion* version) {
  struct stat st;
  if (path == nullptr || version == nullptr || stat(path, &st) != 0) return false;
  version->modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  version->size = static_cast<long long>(st.st_size);
  return true;
}

std::string OwnExecutablePath() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

std::string XdgConfigHome() {
  const char* config = GetEnv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = GetEnv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  return ".";
}

std::string XdgDataHome() {
  const char* data = GetEnv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return data;
  const char* home = GetEnv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/share";
  return ".";
}
