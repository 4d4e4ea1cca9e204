// Environment variables, folders and path joining.
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
// $XDG_CONFIG_HOME, else $HOME/.config, else the current folder ".".
std::string XdgConfigHome();
