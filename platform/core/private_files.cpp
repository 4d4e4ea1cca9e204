// Private folders and files and the walk below a folder, on POSIX.
#include "platform/core/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/core/folders.h"

bool MakePrivateFolder(const std::string& path) {
  return CreateDirectory(path.c_str()) && chmod(path.c_str(), 0700) == 0;
}

bool MakePrivateFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  const bool ok = fchmod(fd, 0600) == 0;
  close(fd);
  return ok;
}

int PathMode(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

std::vector<FileBelow> ListFilesBelow(const std::string& folder, std::size_t maxFiles) {
  std::vector<FileBelow> files;
  std::error_code ec;
  std::filesystem::recursive_directory_iterator it(folder, ec), end;
  for (; !ec && it != end && files.size() < maxFiles; it.increment(ec)) {
    struct stat st;
    const std::string path = it->path().string();
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    files.push_back({path, static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                     static_cast<long long>(st.st_size)});
  }
  return files;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 || errno == ENOENT; }

long long WallClockNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}
