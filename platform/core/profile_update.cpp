// Locked read-edit-replace of the settings file; the lock lives in its own file because the settings file is
// replaced.
#include "platform/core/profile_update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/core/bounds.h"
#include "platform/core/diagnostics.h"
#include "platform/core/file_lock.h"
#include "platform/core/profile_read.h"
#include "platform/core/replace_file.h"

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

}  // namespace

bool UpdateFile(const char* path, const std::function<bool(std::string&)>& edit,
                const UpdateOptions& options) {
  auto fail = [&options](const std::string& why) {
    if (options.why != nullptr) *options.why = why;
    return false;
  };
  std::string target = ReplacedPath(path);
  Descriptor lock(OpenLock(target + ".lock"));
  if (lock.Get() < 0) {
    Diag(DiagLevel::Warning, "settings file %s cannot be locked: %s", target.c_str(), std::strerror(errno));
    return fail(std::string("its lock cannot be opened: ") + std::strerror(errno));
  }
  if (!LockExclusiveWithin(lock.Get(), bounds::BoundMs(kLockWaitMs))) {
    Diag(DiagLevel::Warning, "settings file %s cannot be locked: %s", target.c_str(), std::strerror(errno));
    return fail("another program holds its lock");
  }

  std::string text;
  mode_t mode = 0600;
  ReadResult read = ReadWholeFile(target.c_str(), text, &mode);
  // Writing over a file we could not read would lose every other setting in it.
  if (read == ReadResult::Failed) return fail("it cannot be read");
  // rename() does not care about the file's own permissions; a user who made it read-only does.
  if (read == ReadResult::Read && access(target.c_str(), W_OK) != 0) return fail("it is read-only");
  if (options.secret && read == ReadResult::Read) {
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) return fail("it cannot be read");
    // A settings folder in a shared place: the password must not go into another user's file.
    if (st.st_uid != geteuid()) return fail("it belongs to another user, who could read the password");
    if ((mode & 077) != 0) {
      Diag(DiagLevel::Warning, "settings file %s could be read by other users; it is made 0600",
           target.c_str());
      mode = 0600;
      // Also when nothing in it changes: the password it already holds was just as readable.
      if (chmod(target.c_str(), mode) != 0)
        return fail(std::string("its mode cannot be set: ") + std::strerror(errno));
    }
  }
  if (!edit(text)) return true;
  if (text.size() > kMaxFileSize) {
    Diag(DiagLevel::Warning, "settings file %s would grow beyond %zu bytes; not written", target.c_str(),
         kMaxFileSize);
    return fail("it would grow too large");
  }
  int error = 0;
  if (ReplaceFile(target, text, mode, &error)) return true;
  return fail(std::strerror(error));
}

}  // namespace profile
