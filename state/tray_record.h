// The tray icon's record, shared with the video reader, which changes its tip.
#pragma once

#include "platform/core/annotated_mutex.h"
#include "platform/core/messages.h"
#include "platform/core/records.h"

// The message a tray click posts to the main window.
constexpr UINT kTrayCallbackMessage = WM_APP + 1;
// The id of the copy's one tray icon.
constexpr UINT kTrayIconId = 1;

// Guards the record: the window thread fills and clears it, the video reader changes its tip. Each
// hands Shell_NotifyIcon a copy taken under it, so no thread holds it while waiting for the window thread.
extern Mutex TrayRecordLock;
extern NOTIFYICONDATA nid GUARDED_BY(TrayRecordLock);
