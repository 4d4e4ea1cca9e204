// Pop-up memory of the video reader, also set by the tray click, the hide button and the settings dialog.
#pragma once

#include <atomic>

#include "platform/core/types.h"

// In pop-up mode: hide the window when the unit signals no call.
extern std::atomic<BOOL> hide;
// In pop-up mode: the window may be popped up on a call.
extern std::atomic<BOOL> show;
