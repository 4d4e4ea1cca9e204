// Folders and files only their owner may read, and the files below a folder with their age and size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Creates the folder with its missing parents and makes it 0700 even when it existed with wider rights;
// true when it exists and is private afterwards.
bool MakePrivateFolder(const std::string& path);
// Creates the file empty when it is missing and makes it 0600; true when it exists and is private
// afterwards. Used before a library opens the file, so that it never exists with wider rights.
bool MakePrivateFile(const std::string& path);
// The permission bits of path (e.g. 0600), or -1 when it cannot be examined.
int PathMode(const std::string& path);

struct FileBelow {
  std::string path;  // folder + "/" + the path below it
  long long modifiedNs = 0;
  long long size = 0;
};
// Every regular file below folder, at any depth, links not followed; at most maxFiles of them, so a
// huge or looping tree costs a bounded walk. Empty when the folder does not exist.
std::vector<FileBelow> ListFilesBelow(const std::string& folder, std::size_t maxFiles);
// True when the file is gone afterwards (also when it was already missing).
bool RemoveFile(const std::string& path);
// Nanoseconds since the epoch of the wall clock, as file times are kept.
long long WallClockNs();
