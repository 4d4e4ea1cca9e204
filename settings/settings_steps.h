// The settings dialog's opening and its OK, each in the order of its steps.
#pragma once

#include "platform/core/messages.h"

// Stops timer 0, reads the SIP and sound settings again, fills every field, asks the SIP copy for the
// registration state when a SIP server is used, and builds the device lists.
void OpenSettings(HWND hwndDlg);
// Takes every field into memory, writes the settings file key by key, tells the SIP copy to reload,
// restarts timer 0 and ends the dialog with 1.
void SaveSettings(HWND hwndDlg);
