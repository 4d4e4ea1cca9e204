// The dialog's look with and without a SIP server: the SIP fields' state and the address caption.
#pragma once

#include "platform/core/messages.h"

// Makes the SIP fields writable or read-only (they keep showing their values) and names the address
// field after what it serves: the video alone, or the video and the calls.
void ShowSipFields(HWND hwndDlg, bool useSip);
