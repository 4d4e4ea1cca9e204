// A silent sound card, for machines without one: calls still carry RTP (silence out, nothing played).
#pragma once

#include <linphone/core.h>

#include <string>

// Adds the silent card to the core's sound cards and reloads them. SIP thread only. Returns the
// card's id as the library names it, or "" when it did not appear.
std::string AddSilentCard(LinphoneCore* core);
// Sets the devices asked for ("" leaves the library's choice). Where the core has the silent card (the
// machine has no card of its own) it stays in use whatever was asked for. SIP thread only.
void UseSoundDevices(LinphoneCore* core, const std::string& capture, const std::string& playback);
// Adds the silent card to the core's sound cards when no card can capture or none can play.
// SIP thread only.
void AddSilentCardWhereNeeded(LinphoneCore* core);
