// The tray icon's record, shared with the video reader, which changes its tip.
#pragma once

#include "platform/messages.h"
#include "platform/tray.h"

// The message a tray click posts to the main window.
constexpr UINT kTrayCallbackMessage = WM_APP + 1;

extern NOTIFYICONDATA nid;
