// The audio codecs the telephone offers and accepts: those door units speak, and no others.
#pragma once

#include <linphone/core.h>

// Opus, G.722, PCMU and PCMA on; every other audio codec off. The library's own default leaves G.722
// off, so a unit offering only G.722 was refused.
void KeepDoorCodecs(LinphoneCore* core);
