// Environment variables and folders on POSIX.
#include "platform/core/folders.h"

#include <sys/stat.h>

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

bool CreateDirectory(const char* path) { return path != nullptr && mkdir(path, 0700) == 0; }

std::string XdgConfigHome() {
  const char* config = GetEnv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = GetEnv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  return ".";
}
