// Starting and stopping this copy's end of the instance bus.
#include "platform/gui/instance_bus.h"

#include <unistd.h>

#include "platform/core/annotated_mutex.h"
#include "platform/core/bus_socket.h"
#include "platform/core/diagnostics.h"
#include "platform/core/runtime_folder.h"
#include "platform/gui/bus_listener.h"
#include "platform/gui/bus_state.h"

namespace bus {

namespace {

Mutex g_mutex;
std::string g_folder GUARDED_BY(g_mutex);  // "" while the bus is stopped

// Never destroyed: a copy that ends without stopping the bus must not end in a thread's destructor.
Listener& TheListener() {
  static Listener* listener = new Listener;
  return *listener;
}

}  // namespace

std::string BusFolder() {
  Lock lock(g_mutex);
  return g_folder;
}

}  // namespace bus

bool StartInstanceBusIn(const std::string& folder) {
  if (folder.empty()) return false;
  Lock lock(bus::g_mutex);
  if (!bus::g_folder.empty()) return true;
  const int fd = bus::ListenAt(folder, static_cast<std::uint32_t>(getpid()));
  if (fd < 0) return false;
  if (!bus::TheListener().Start(fd)) {
    unlink(bus::SocketPath(folder, static_cast<std::uint32_t>(getpid())).c_str());
    return false;
  }
  bus::g_folder = folder;
  return true;
}

bool StartInstanceBus() {
  const std::string folder = RuntimeFolder();
  if (folder.empty()) {
    Diag(DiagLevel::Error, "instance bus: no runtime folder; this copy cannot talk to the others");
    return false;
  }
  return StartInstanceBusIn(folder);
}

void StopInstanceBus() {
  std::string folder;
  {
    Lock lock(bus::g_mutex);
    folder.swap(bus::g_folder);
  }
  if (folder.empty()) return;
  // The name goes first: from now on a copy that tries us finds nobody instead of waiting.
  unlink(bus::SocketPath(folder, static_cast<std::uint32_t>(getpid())).c_str());
  bus::TheListener().Stop();
}

bool InstanceBusRunning() { return !bus::BusFolder().empty(); }
