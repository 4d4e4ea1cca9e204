// The callbacks: the incoming call's caller, the end of a call, the library's failure messages; the
// others do nothing.
#include "sip/callbacks.h"

#include <cstring>
#include <string>

#include "platform/gui/dialog.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "sip/base/caller_address.h"
#include "sip/base/text_buffer.h"
#include "sip/call_dialogs.h"
#include "sip/credentials.h"
#include "sip/sip_vars.h"
#include "sip/telephone_state.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "visit_recording/visit_recording.h"

void my_show(LinphoneCore*) {}
void my_bye_recv(LinphoneCore*, const char*) {}
void my_notify_recv(LinphoneCore*, LinphoneFriend*) {}
void my_new_unknown_subscriber(LinphoneCore*, LinphoneFriend*, const char*) {}
void my_display_warning(LinphoneCore*, const char*) {}
void my_display_url(LinphoneCore*, const char*, const char*) {}
void my_display_question(LinphoneCore*, const char*) {}
void my_call_log_updated(LinphoneCore*, LinphoneCallLog*) {}
void my_text_received(LinphoneCore*, LinphoneChatRoom*, const LinphoneAddress*, const char*) {}
void my_general_state(LinphoneCore*, LinphoneGlobalState, const char*) {}

void my_inv_recv(LinphoneCore*, const char* from) {
  {
    Lock lock(CallerMutex());
    ParseCallerAddress(from, Name_call, IP_call);
  }
  PostMessage(g_hwndMain, WM_USER, kUserIncomingCall, 0);
}

void my_turned_away(LinphoneCore*, const char* from) {
  char name[64], host[64];
  ParseCallerAddress(from, name, host);
  QueueOnGuiThread([name = std::string(name), host = std::string(host)] {
    TellCallEvent(visitors::CallEventKind::TurnedAway, host, name);
  });
}

void CloseCallDialogs() {
  AssertWindowThread();
  DoorCallEnded();
  if (hWnd_Terminate != 0) EndDialog(hWnd_Terminate, 0);
  hWnd_Terminate = 0;
  if (hWnd_Accept != 0) EndDialog(hWnd_Accept, 0);
  hWnd_Accept = 0;
  PlaySoundA(nullptr, nullptr, 0);
}

void my_display_status(LinphoneCore*, const char* message) {
  if (message == nullptr || std::strcmp(message, kCallTerminatedStatus) != 0) return;
  // Every copy clears its call mark before this returns; the window thread serves this send even
  // while it waits for this thread.
  SendMessage(HWND_BROADCAST, MESSAGE, kCodeCallEnded, 0);
  // The dialogs belong to the window thread.
  QueueOnGuiThread(CloseCallDialogs);
}

namespace {

// Window thread: whether the library's failure box is open, and the text it shows.
bool g_failureBoxOpen = false;
std::string g_failureText;

// The open failure box: the "Error" box that shows g_failureText (another "Error" box may be open too).
HWND FailureBox() {
  for (HWND box = FindWindowExA(0, 0, kDialogClass, "Error"); box != 0;
       box = FindWindowExA(0, box, kDialogClass, "Error")) {
    char shown[64];
    GetDlgItemTextA(box, kMessageBoxTextId, shown, sizeof shown);
    if (g_failureText == shown) return box;
  }
  return 0;
}

// One failure box at a time: a registration the library tries again, or one made anew by every reload,
// must not stack a box on each box. A failure while it is open replaces its text.
void ShowFailure(const std::string& text) {
  if (g_failureBoxOpen) {
    if (HWND box = FailureBox(); box != 0 && SetDlgItemTextA(box, kMessageBoxTextId, text.c_str()))
      g_failureText = text;
    return;
  }
  g_failureBoxOpen = true;
  g_failureText = text;
  MessageBoxA(g_hwndMain, text.c_str(), "Error", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  g_failureBoxOpen = false;
  SendMessage(HWND_BROADCAST, MESSAGE, kCodeCallEnded, 0);
}

}  // namespace

void my_display_message(LinphoneCore*, const char* message) {
  char text[50];
  FillAndCopy(text, message);
  // The box waits for a person: on the window thread, while this thread goes on taking calls. Every
  // copy's call mark is cleared once it is closed.
  QueueOnGuiThread([shown = std::string(text)] { ShowFailure(shown); });
}

void my_auth_info_requested(LinphoneCore*, const char* realm, const char* username) {
  RequestCredentials(realm, username);
}

void FillSipVTable(t_SipVTable& table) {
  table = t_SipVTable{};
  table.show = my_show;
  table.inv_recv = my_inv_recv;
  table.bye_recv = my_bye_recv;
  table.notify_recv = my_notify_recv;
  table.new_unknown_subscriber = my_new_unknown_subscriber;
  table.auth_info_requested = my_auth_info_requested;
  table.display_status = my_display_status;
  table.display_message = my_display_message;
  table.display_warning = my_display_warning;
  table.display_url = my_display_url;
  table.display_question = my_display_question;
  table.call_log_updated = my_call_log_updated;
  table.text_received = my_text_received;
  table.general_state = my_general_state;
  table.dtmf_received = nullptr;
  table.turned_away = my_turned_away;
  table.registration_state = my_registration_state;
}
