// The handlers of the SIP telephone that start-up handed in.
#include "state/telephone_hooks.h"

#include <atomic>

namespace {
std::atomic<const t_Telephone*> g_telephone{nullptr};
}

void SetTelephone(const t_Telephone* telephone) { g_telephone = telephone; }
const t_Telephone* Telephone() { return g_telephone; }
