// Replacing a file's whole text atomically: a temporary file beside it, synced, renamed over it.
#include "platform/core/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/core/diagnostics.h"

namespace {

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The rename itself survives a power cut only once the folder is synced; failing that is no
// reason to report the write as failed.
void SyncFolder(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode, int* error) {
  std::string temp = path + ".tmp-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    if (error != nullptr) *error = errno;
    Diag(DiagLevel::Warning, "%s cannot be written: %s", path.c_str(), std::strerror(errno));
    return false;
  }
  bool ok = WriteAll(fd, text) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  int failure = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && rename(temp.c_str(), path.c_str()) == 0) {
    SyncFolder(path);
    return true;
  }
  if (ok) failure = errno;
  unlink(temp.c_str());
  if (error != nullptr) *error = failure;
  Diag(DiagLevel::Warning, "%s cannot be written: %s", path.c_str(), std::strerror(failure));
  return false;
}
