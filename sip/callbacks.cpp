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
#include "sip/credentials.h"
#include "sip/sip_vars.h"
#include "state/private_codes.h"
#include "state/program.h"

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
    std::lock_guard lock(CallerMutex());
    ParseCallerAddress(from, Name_call, IP_call);
  }
  PostMessage(g_hwndMain, WM_USER, kUserIncomingCall, 0);
}

void CloseCallDialogs() {
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

void my_display_message(LinphoneCore*, const char* message) {
  char text[50];
  FillAndCopy(text, message);
  // The box waits for a person: on the window thread, while this thread goes on taking calls. Every
  // copy's call mark is cleared once it is closed.
  std::string shown = text;
  QueueOnGuiThread([shown] {
    MessageBoxA(g_hwndMain, shown.c_str(), "Error", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    SendMessage(HWND_BROADCAST, MESSAGE, kCodeCallEnded, 0);
  });
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
}
