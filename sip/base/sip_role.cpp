// The SIP-role lock: the named lock "sip-role" held by this process alone, tried without waiting.
#include "sip/base/sip_role.h"

#include <mutex>

#include "platform/core/named_mutex.h"

namespace {

std::mutex g_mutex;
int g_handle = -1;

}  // namespace

bool TakeSipRole() {
  std::lock_guard lock(g_mutex);
  if (g_handle < 0) g_handle = TryTakeExclusiveNamedLock("sip-role");
  return g_handle >= 0;
}

void ReleaseSipRole() {
  std::lock_guard lock(g_mutex);
  CloseNamedMutex(g_handle);  // closing the only descriptor drops the lock
  g_handle = -1;
}

bool HoldsSipRole() {
  std::lock_guard lock(g_mutex);
  return g_handle >= 0;
}
