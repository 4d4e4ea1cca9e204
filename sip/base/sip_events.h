// The library's events mapped onto the telephone's callback table.
#pragma once

#include <linphone/core.h>

#include <unordered_set>

#include "sip/base/vtable.h"

// What the mapping remembers for one core: the table, and the calls whose end it already reported.
struct SipEventState {
  const t_SipVTable* table = nullptr;
  std::unordered_set<const LinphoneCall*> ended;
};

// Callbacks that call state's slots; the caller adds them to the core and unrefs them. state must
// outlive the core.
LinphoneCoreCbs* CreateSipEventCallbacks(LinphoneFactory* factory, SipEventState* state);
