// The telephone's callback table: seventeen slots, named after the events the program reacts to. The
// SIP thread calls them, inside its iteration step, from the library's events (sip_events.cpp).
#pragma once

#include <linphone/core.h>

struct t_SipVTable {
  void (*show)(LinphoneCore* lc);
  void (*inv_recv)(LinphoneCore* lc, const char* from);  // an incoming call; from: the caller's address
  void (*bye_recv)(LinphoneCore* lc, const char* from);  // the other side ended the call
  void (*notify_recv)(LinphoneCore* lc, LinphoneFriend* fid);
  void (*new_unknown_subscriber)(LinphoneCore* lc, LinphoneFriend* lf, const char* url);
  // The server wants credentials for username in realm.
  void (*auth_info_requested)(LinphoneCore* lc, const char* realm, const char* username);
  // "Call terminated." once for every call that ends or fails.
  void (*display_status)(LinphoneCore* lc, const char* message);
  // A failure with its reason: an outgoing call that failed, a registration refused.
  void (*display_message)(LinphoneCore* lc, const char* message);
  void (*display_warning)(LinphoneCore* lc, const char* message);
  void (*display_url)(LinphoneCore* lc, const char* message, const char* url);
  void (*display_question)(LinphoneCore* lc, const char* message);
  void (*call_log_updated)(LinphoneCore* lc, LinphoneCallLog* newcl);
  void (*text_received)(LinphoneCore* lc, LinphoneChatRoom* room, const LinphoneAddress* from,
                        const char* message);
  void (*general_state)(LinphoneCore* lc, LinphoneGlobalState gstate, const char* message);
  void (*dtmf_received)(LinphoneCore* lc, LinphoneCall* call, int dtmf);
  // A caller turned away because a call exists already (refused busy); from: the caller's address.
  void (*turned_away)(LinphoneCore* lc, const char* from);
  // The registration of config changed state; message: the library's reason.
  void (*registration_state)(LinphoneCore* lc, LinphoneProxyConfig* config, LinphoneRegistrationState state,
                             const char* message);
};

// The status text every end of a call is reported with.
constexpr const char* kCallTerminatedStatus = "Call terminated.";
