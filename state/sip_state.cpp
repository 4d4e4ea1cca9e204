// What every copy knows of the SIP telephone, with or without a core of its own.
#include "state/sip_state.h"

std::atomic<BOOL> SIP_reg{FALSE};
char CallToDoorPhone[128];
