// What the sending side needs to know of the running bus.
#pragma once

#include <string>

namespace bus {

// The folder of the running bus, or "" while it is stopped.
std::string BusFolder();

}  // namespace bus
