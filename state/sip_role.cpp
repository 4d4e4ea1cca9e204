// The SIP-role lock: the named lock "sip-role" held by this process alone, tried without waiting.
#include "state/sip_role.h"

#include "platform/core/annotated_mutex.h"
#include "platform/core/named_mutex.h"

namespace {

Mutex g_mutex;
int g_handle GUARDED_BY(g_mutex) = -1;

}  // namespace

bool TakeSipRole() {
  Lock lock(g_mutex);
  if (g_handle < 0) g_handle = TryTakeExclusiveNamedLock("sip-role");
  return g_handle >= 0;
}

void ReleaseSipRole() {
  Lock lock(g_mutex);
  CloseNamedMutex(g_handle);  // closing the only descriptor drops the lock
  g_handle = -1;
}

bool HoldsSipRole() {
  Lock lock(g_mutex);
  return g_handle >= 0;
}
