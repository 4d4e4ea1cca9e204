// Environment variables, folders and files: whether they exist, their versions, the program's own path.
#pragma once

#include <string>

// The variable's value, or nullptr when it is not set (an empty value counts as set).
const char* GetEnv(const char* name);
// True when path names an existing folder.
bool DirectoryExists(const char* path);
// True when path names anything that exists (a file, a folder, a link to one).
bool PathExists(const char* path);
// Creates the folder with its missing parents, each new one with mode 0700 (it may hold a password, and
// a new ~/.config is to be 0700 too); true when it exists afterwards.
bool CreateDirectory(const char* path);
// True when the file can be opened for reading now.
bool FileReadable(const char* path);
// What tells one version of a file from another: its modification time and size.
struct FileVersion {
  long long modifiedNs = 0;
  long long size = 0;
  bool operator==(const FileVersion&) const = default;
};
// False when the file does not exist or cannot be examined.
bool GetFileVersion(const char* path, FileVersion* version);
// The running program's own path, or "" when the system does not say.
std::string OwnExecutablePath();
// $XDG_CONFIG_HOME, else $HOME/.config, else the current folder ".".
std::string XdgConfigHome();
// $XDG_DATA_HOME, else $HOME/.local/share, else the current folder ".".
std::string XdgDataHome();
