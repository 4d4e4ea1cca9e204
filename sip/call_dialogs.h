// The Accept dialog that rings for a door call, and the Terminate dialog that ends an accepted call no
// copy took over.
#pragma once

#include "platform/core/messages.h"

constexpr int kTemplateTerminate = 123;
constexpr int kTemplateAccept = 124;
constexpr int kRingResource = 103;

// WM_USER 0, window thread: opens the modeless Accept dialog (hWnd_Accept).
void OpenAcceptDialogFor();
LRESULT DialogProcAccept(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT DialogProcTerm(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
