// The SIP-role lock: an exclusive flock on <runtime folder>/sip-role.lock, tried without waiting.
#include "sip/base/sip_role.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/core/diagnostics.h"
#include "platform/core/file_lock.h"
#include "platform/core/runtime_folder.h"

namespace {

std::mutex g_mutex;
int g_fd = -1;

}  // namespace

bool TakeSipRole() {
  std::lock_guard lock(g_mutex);
  if (g_fd >= 0) return true;
  const std::string folder = RuntimeFolder();
  if (folder.empty()) return false;
  const std::string path = folder + "/sip-role.lock";
  int fd;
  do {
    // O_CLOEXEC: a helper program we start must not keep the role after we end.
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    Diag(DiagLevel::Error, "SIP role %s: cannot open: %s", path.c_str(), std::strerror(errno));
    return false;
  }
  if (FlockRetrying(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK)
      Diag(DiagLevel::Error, "SIP role %s: cannot lock: %s", path.c_str(), std::strerror(errno));
    close(fd);
    return false;
  }
  g_fd = fd;
  return true;
}

void ReleaseSipRole() {
  std::lock_guard lock(g_mutex);
  if (g_fd < 0) return;
  close(g_fd);  // closing the only descriptor drops the lock
  g_fd = -1;
}

bool HoldsSipRole() {
  std::lock_guard lock(g_mutex);
  return g_fd >= 0;
}
