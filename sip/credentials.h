// Credentials for the SIP server: asked for on the window thread, added to the core on the SIP thread.
#pragma once

#include "platform/core/messages.h"

// SIP thread (the library asks): info := a record for username in realm without a password, and the
// window thread is asked to show the Authentication dialog. At most one dialog at a time: a request
// while one is open is dropped.
void RequestCredentials(const char* realm, const char* username);
// WM_USER 1, window thread: with ok, the entered user name and password go into info, which is
// added to the core.
void AddEnteredCredentials(BOOL ok);
// The Authentication dialog (template 118).
LRESULT DialogProcPass(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
