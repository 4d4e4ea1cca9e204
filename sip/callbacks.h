// The telephone's callbacks, named after their slots; they run on the SIP thread inside its iteration
// step and hand the program's reaction to the window thread. Nothing here waits for a person.
#pragma once

#include "sip/base/vtable.h"

void my_show(LinphoneCore* lc);
void my_inv_recv(LinphoneCore* lc, const char* from);
void my_bye_recv(LinphoneCore* lc, const char* from);
void my_notify_recv(LinphoneCore* lc, LinphoneFriend* fid);
void my_new_unknown_subscriber(LinphoneCore* lc, LinphoneFriend* lf, const char* url);
void my_auth_info_requested(LinphoneCore* lc, const char* realm, const char* username);
void my_display_status(LinphoneCore* lc, const char* message);
void my_display_message(LinphoneCore* lc, const char* message);
void my_display_warning(LinphoneCore* lc, const char* message);
void my_display_url(LinphoneCore* lc, const char* message, const char* url);
void my_display_question(LinphoneCore* lc, const char* message);
void my_call_log_updated(LinphoneCore* lc, LinphoneCallLog* newcl);
void my_text_received(LinphoneCore* lc, LinphoneChatRoom* room, const LinphoneAddress* from,
                      const char* message);
void my_general_state(LinphoneCore* lc, LinphoneGlobalState gstate, const char* message);

// Fills the fourteen slots of vtable; the fifteenth (dtmf_received) stays null.
void FillSipVTable(t_SipVTable& table);

// Window thread: closes the Accept and Terminate dialogs (result 0) and stops the ring.
void CloseCallDialogs();
