// The Accept dialog that rings for a door call, and the Terminate dialog that ends an accepted call no
// copy took over.
#pragma once

#include "platform/core/messages.h"

constexpr int kTemplateTerminate = 123;
constexpr int kTemplateAccept = 124;
constexpr int kRingResource = 103;

// WM_USER 0, window thread: opens the modeless Accept dialog (hWnd_Accept).
void OpenAcceptDialogFor();
// Window thread: the door call told to the copies (Ringing) has ended; told once.
void DoorCallEnded();
// Code 14, window thread: the ringing call answered (the Accept dialog's OK) or refused (its Cancel).
void AnswerRinging(bool answer);
LRESULT DialogProcAccept(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT DialogProcTerm(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
