// The program's one visitor log behind a lock.
#include "visitors/shared_log.h"

#include "platform/core/annotated_mutex.h"

namespace visitors {
namespace {

Mutex g_logLock;
std::shared_ptr<VisitorLog> g_log GUARDED_BY(g_logLock);

}  // namespace

void SetSharedLog(std::shared_ptr<VisitorLog> log) {
  Lock lock(g_logLock);
  g_log = std::move(log);
}

std::shared_ptr<VisitorLog> SharedLog() {
  Lock lock(g_logLock);
  return g_log;
}

}  // namespace visitors
