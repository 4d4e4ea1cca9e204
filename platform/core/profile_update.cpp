// Locked read-edit-replace of the settings file; the lock lives in its own file because the settings file is
// replaced.
#include "platform/core/profile_update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/core/diagnostics.h"
#include "platform/core/file_lock.h"
#include "platform/core/profile_read.h"

namespace profile {

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// rename() would put a regular file in place of a link a user made to keep the file elsewhere.
std::string ReplacedPath(const char* path) {
  struct stat st {};
  if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path, nullptr)) {
      std::string target(real);
      std::free(real);
      return target;
    }
  }
  return path;
}

int OpenLock(const std::string& lockPath) {
  int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  // flock works on a read-only descriptor too, e.g. a lock file another user created.
  if (fd < 0 && errno == EACCES) fd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  return fd;
}

// A copy that stopped while holding the lock (a debugger, SIGSTOP) must not freeze the others.
constexpr int kLockWaitMs = 5000;

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

bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode) {
  std::string temp = path + ".tmp-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    Diag(DiagLevel::Warning, "settings file %s cannot be written: %s", path.c_str(), std::strerror(errno));
    return false;
  }
  bool ok = WriteAll(fd, text) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(temp.c_str(), path.c_str()) == 0) {
    SyncFolder(path);
    return true;
  }
  if (ok) error = errno;
  unlink(temp.c_str());
  Diag(DiagLevel::Warning, "settings file %s cannot be written: %s", path.c_str(), std::strerror(error));
  return false;
}

}  // namespace

bool UpdateFile(const char* path, const std::function<bool(std::string&)>& edit) {
  std::string target = ReplacedPath(path);
  Descriptor lock(OpenLock(target + ".lock"));
  if (lock.Get() < 0) {
    Diag(DiagLevel::Warning, "settings file %s cannot be locked: %s", target.c_str(), std::strerror(errno));
    return false;
  }
  if (!LockExclusiveWithin(lock.Get(), kLockWaitMs)) {
    Diag(DiagLevel::Warning, "settings file %s cannot be locked: %s", target.c_str(), std::strerror(errno));
    return false;
  }

  std::string text;
  mode_t mode = 0600;
  ReadResult read = ReadWholeFile(target.c_str(), text, &mode);
  // Writing over a file we could not read would lose every other setting in it.
  if (read == ReadResult::Failed) return false;
  // rename() does not care about the file's own permissions; a user who made it read-only does.
  if (read == ReadResult::Read && access(target.c_str(), W_OK) != 0) return false;
  if (!edit(text)) return true;
  if (text.size() > kMaxFileSize) {
    Diag(DiagLevel::Warning, "settings file %s would grow beyond %zu bytes; not written", target.c_str(),
         kMaxFileSize);
    return false;
  }
  return ReplaceFile(target, text, mode);
}

}  // namespace profile
