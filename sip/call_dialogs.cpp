// Accept: caption the caller, ring; OK hands the call to the copies (code 0) and opens Terminate;
// Cancel answers and ends the call at once. Terminate: OK ends the call; its close box does nothing.
#include "sip/call_dialogs.h"

#include <string>

#include "platform/core/folders.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "sip/base/call_control.h"
#include "sip/sip_vars.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/user_files.h"
#include "visit_recording/visit_recording.h"

namespace {

void SetCallerCaption(HWND dialog) {
  Lock lock(CallerMutex());
  SetWindowTextA(dialog, Name_call[0] != '\0' ? Name_call : IP_call);
}

void Ring() {
  // The current folder's ring.wav, else the one beside the settings file (a copy started from the menu
  // runs in the home folder).
  const std::string ring = FindUserFile("ring.wav");
  // A ring.wav that cannot be played (not a WAV file) must not leave the door call silent.
  // Most machines have no ring.wav of their own: that usual case is told apart here, before the sound
  // layer, which warns about a file it cannot play.
  if (FileReadable(ring.c_str()) && PlaySoundA(ring.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP))
    return;
  PlaySoundA(MAKEINTRESOURCE(kRingResource), g_hInstance, SND_RESOURCE | SND_ASYNC | SND_LOOP);
}

void StopRing() { PlaySoundA(nullptr, nullptr, 0); }

// Window thread: whether the call of the Accept dialog is a door call every copy was told of; its end is
// told once.
bool g_doorCallTold GUARDED_BY(WindowThread) = false;

void TellDoorCall(visitors::CallEventKind kind) REQUIRES(WindowThread) {
  std::string host, name;
  {
    Lock lock(CallerMutex());
    host = IP_call;
    name = Name_call;
  }
  TellCallEvent(kind, host, name);
}

}  // namespace

void OpenAcceptDialogFor() {
  AssertWindowThread();
  // A dialog of an earlier call that is still open gives way to this one.
  if (hWnd_Accept != 0) EndDialog(hWnd_Accept, 0);
  hWnd_Accept = CreateDialogParamA(g_hInstance, kTemplateAccept, g_hwndMain, DialogProcAccept, 0);
  g_doorCallTold = true;
  TellDoorCall(visitors::CallEventKind::Ringing);
}

void DoorCallEnded() {
  AssertWindowThread();
  if (!g_doorCallTold) return;
  g_doorCallTold = false;
  TellDoorCall(visitors::CallEventKind::Ended);
}

void AnswerRinging(bool answer) {
  AssertWindowThread();
  if (hWnd_Accept != 0) DialogProcAccept(hWnd_Accept, WM_COMMAND, answer ? IDOK : IDCANCEL, 0);
}

LRESULT DialogProcAccept(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  AssertWindowThread();
  if (uMsg == WM_INITDIALOG) {
    SetCallerCaption(hwndDlg);
    Ring();
  } else if (uMsg == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case IDOK:
        StopRing();
        TellDoorCall(visitors::CallEventKind::Answered);
        // Posted: the Terminate dialog exists before the first copy's answer can come in.
        PostMessage(HWND_BROADCAST, MESSAGE, kCodeAskDoorAddress, static_cast<LPARAM>(g_hwndMain));
        if (hWnd_Terminate != 0) EndDialog(hWnd_Terminate, 0);
        hWnd_Terminate = CreateDialogParamA(g_hInstance, kTemplateTerminate, g_hwndMain, DialogProcTerm, 0);
        EndDialog(hwndDlg, IDOK);
        if (hWnd_Accept == hwndDlg) hWnd_Accept = 0;
        break;
      case IDCANCEL:
        StopRing();
        TellDoorCall(visitors::CallEventKind::Refused);
        // The unit sees its call answered and ended.
        Linphone_Thread.Post([](LinphoneCore* core) {
          AcceptPendingCall(core);
          TerminateCurrentCall(core);
        });
        EndDialog(hwndDlg, IDCANCEL);
        if (hWnd_Accept == hwndDlg) hWnd_Accept = 0;
        break;
      default: break;
    }
  }
  return FALSE;
}

LRESULT DialogProcTerm(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  AssertWindowThread();
  if (uMsg == WM_INITDIALOG) {
    SetCallerCaption(hwndDlg);
  } else if (uMsg == WM_COMMAND && LOWORD(wParam) == IDOK) {
    Linphone_Thread.Post([](LinphoneCore* core) { TerminateCurrentCall(core); });
    EndDialog(hwndDlg, IDOK);
    if (hWnd_Terminate == hwndDlg) hWnd_Terminate = 0;
  }
  return FALSE;
}
