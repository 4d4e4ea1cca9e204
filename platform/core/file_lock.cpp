// Whole-file locks (flock) shared with other processes, with interrupted calls retried and bounded waits.
#include "platform/core/file_lock.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

int FlockRetrying(int fd, int operation) {
  int rc;
  do {
    rc = flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

bool LockExclusiveWithin(int fd, int timeoutMs) {
  constexpr int kStepMs = 10;
  for (int waited = 0;; waited += kStepMs) {
    if (FlockRetrying(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK) return false;
    if (waited >= timeoutMs) {
      errno = ETIMEDOUT;
      return false;
    }
    usleep(kStepMs * 1000);
  }
}
