// Pop-up memory of the video reader, also set by the tray click, the hide button and the settings dialog.
#include "state/popup_state.h"

std::atomic<BOOL> hide{TRUE};
std::atomic<BOOL> show{TRUE};
