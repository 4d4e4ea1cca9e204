// The machine's sound devices under the names the telephone's library accepts for them.
#pragma once

#include <string>
#include <vector>

// Every sound card the library finds, in its own order, so that a position names one device in every
// copy. Needs no core: a media factory of its own is made and released. Any thread.
std::vector<std::string> SoundDeviceNames();
