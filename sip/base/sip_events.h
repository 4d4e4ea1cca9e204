// The library's events mapped onto the telephone's callback table.
#pragma once

#include <linphone/core.h>

#include <atomic>
#include <unordered_set>
#include <vector>

#include "sip/base/vtable.h"

// What the mapping remembers for one core: the table, the calls whose end it already reported, and the
// callers turned away because a call exists already.
struct SipEventState {
  // Null cuts the core off from the program (a SIP thread that did not stop in time).
  std::atomic<const t_SipVTable*> table{nullptr};
  std::unordered_set<const LinphoneCall*> ended;
  std::unordered_set<const LinphoneCall*> turnedAway;
  std::vector<LinphoneCall*> toRefuse;  // referenced until refused
};

// Callbacks that call state's slots; the caller adds them to the core and unrefs them. state must
// outlive the core.
LinphoneCoreCbs* CreateSipEventCallbacks(LinphoneFactory* factory, SipEventState* state);

// SIP thread, between iteration steps: answers the callers turned away with 486 Busy Here. Outside the
// callback, as acting inside one can send the library's requests out of order.
void RefuseTurnedAwayCalls(SipEventState* state);
