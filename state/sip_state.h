// What every copy knows of the SIP telephone, with or without a core of its own.
#pragma once

#include <atomic>

#include "platform/core/types.h"
#include "platform/core/window_thread.h"

// The last known registration state, shown by the settings dialog.
extern std::atomic<BOOL> SIP_reg;

// The address this copy's call button asks the SIP copy to call: 128 bytes, spaces behind the text.
extern char CallToDoorPhone[128] GUARDED_BY(WindowThread);
