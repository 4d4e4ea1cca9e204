// The tray icon's record, shared with the video reader, which changes its tip.
#pragma once

#include "platform/core/messages.h"
#include "platform/core/records.h"

// The message a tray click posts to the main window.
constexpr UINT kTrayCallbackMessage = WM_APP + 1;

extern NOTIFYICONDATA nid;
