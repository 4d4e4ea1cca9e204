// The settings dialog (template 104): every setting edited and saved, the sound devices, the volume
// control, the registration state.
#pragma once

#include "platform/core/messages.h"

// The dialog template's number.
constexpr int kSettingsDialog = 104;

// The dialog's procedure: fills the fields on opening, saves on OK; returns FALSE for every message.
LRESULT DialogProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
