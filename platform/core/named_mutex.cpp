// Named locks as shared flocks on <runtime folder>/<name>.lock; creations are serialised by a guard lock.
#include "platform/core/named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/core/bounds.h"
#include "platform/core/diagnostics.h"
#include "platform/core/file_lock.h"
#include "platform/core/runtime_folder.h"

namespace {

constexpr std::size_t kMaxNameLength = 100;

bool IsValidName(const char* name) {
  if (name == nullptr) return false;
  std::size_t length = strnlen(name, kMaxNameLength + 1);
  if (length == 0 || length > kMaxNameLength) return false;
  for (std::size_t i = 0; i < length; ++i) {
    char c = name[i];
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
              c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

// A refused name goes into a one-line diagnostic: no line breaks or terminal controls from it.
std::string Printable(const char* name) {
  if (name == nullptr) return "(null)";
  std::string shown(name, strnlen(name, kMaxNameLength + 1));
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return shown;
}

// O_CLOEXEC: a started helper program must not keep our names alive after we end.
// O_NOFOLLOW: the folder is vetted, but a planted link inside it must not redirect us.
int OpenLockFile(const std::string& path) {
  int fd;
  do {
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) Diag(DiagLevel::Error, "named lock %s: cannot open: %s", path.c_str(), std::strerror(errno));
  return fd;
}

// The guard is held for microseconds; a copy stopped while holding it must not stop every start.
constexpr int kGuardWaitMs = 5000;

// Holding the guard is what makes the test-then-share below a single step for everyone else:
// nobody outside the guard ever asks for an exclusive lock on a name.
int TakeNameUnderGuard(const std::string& lockPath, bool* alreadyExisted) {
  int fd = OpenLockFile(lockPath);
  if (fd < 0) return -1;
  bool existed;
  if (FlockRetrying(fd, LOCK_EX | LOCK_NB) == 0) {
    existed = false;
  } else if (errno == EWOULDBLOCK) {
    existed = true;
  } else {
    Diag(DiagLevel::Error, "named lock %s: cannot lock: %s", lockPath.c_str(), std::strerror(errno));
    close(fd);
    return -1;
  }
  // Turning the exclusive lock into a shared one is not atomic for flock, which is harmless here:
  // only holders of the guard could slip in between, and we are the one holding it.
  if (FlockRetrying(fd, LOCK_SH | LOCK_NB) != 0) {
    Diag(DiagLevel::Error, "named lock %s: cannot share the lock: %s", lockPath.c_str(),
         std::strerror(errno));
    close(fd);
    return -1;
  }
  *alreadyExisted = existed;
  return fd;
}

}  // namespace

int CreateNamedMutex(const char* name, bool* alreadyExisted) {
  bool existedScratch = false;
  if (alreadyExisted == nullptr) alreadyExisted = &existedScratch;
  *alreadyExisted = false;
  if (!IsValidName(name)) {
    Diag(DiagLevel::Error, "named lock: invalid name \"%s\"", Printable(name).c_str());
    return -1;
  }
  const std::string folder = RuntimeFolder();
  if (folder.empty()) return -1;

  const std::string guardPath = folder + "/names.guard";
  int guard = OpenLockFile(guardPath);
  if (guard < 0) return -1;
  if (!LockExclusiveWithin(guard, bounds::BoundMs(kGuardWaitMs))) {
    Diag(DiagLevel::Error, "named lock guard %s: cannot lock: %s", guardPath.c_str(), std::strerror(errno));
    close(guard);
    return -1;
  }
  int handle = TakeNameUnderGuard(folder + "/" + name + ".lock", alreadyExisted);
  // Lock files are never removed: unlinking a file that another process is about to lock would
  // let two processes each hold a different file of the same name.
  close(guard);
  return handle;
}

int TryTakeExclusiveNamedLock(const char* name) {
  if (!IsValidName(name)) {
    Diag(DiagLevel::Error, "named lock: invalid name \"%s\"", Printable(name).c_str());
    return -1;
  }
  const std::string folder = RuntimeFolder();
  if (folder.empty()) return -1;
  const std::string path = folder + "/" + name + ".lock";
  int fd = OpenLockFile(path);
  if (fd < 0) return -1;
  if (FlockRetrying(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK)
      Diag(DiagLevel::Error, "named lock %s: cannot lock: %s", path.c_str(), std::strerror(errno));
    close(fd);
    return -1;
  }
  return fd;
}

void CloseNamedMutex(int handle) {
  if (handle >= 0) close(handle);
}
