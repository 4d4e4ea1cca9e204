// A sound card that captures silence and plays into nothing, so calls carry RTP on machines
// without a sound device.
#pragma once

#include <string>

struct _MSFactory;

namespace doorsim {

// Adds the card to the factory's card manager and returns its id as the core names it among its
// sound devices (empty when it did not appear). The core must reload its sound devices afterwards.
std::string RegisterSilentCard(_MSFactory* factory);

}  // namespace doorsim
