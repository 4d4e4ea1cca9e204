// The settings folder, and the user's optional files in the current folder or beside the settings file.
#include "state/user_files.h"

#include "platform/core/folders.h"

std::string SettingsFolder() {
  // An empty value counts as set.
  for (const char* name : {"ALLUSERSPROFILE", "PROGRAMDATA", "APPDATA", "LOCALAPPDATA", "TEMP"})
    if (const char* value = GetEnv(name)) return std::string(value) + "/Kestrova";
  return XdgConfigHome() + "/Kestrova";
}

std::string FindUserFile(const char* name) {
  if (name == nullptr) return {};
  if (PathExists(name) || name[0] == '/') return name;
  const std::string beside = SettingsFolder() + "/" + name;
  return PathExists(beside.c_str()) ? beside : name;
}
