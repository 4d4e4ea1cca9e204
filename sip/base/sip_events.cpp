// Mapping the library's events onto the callback table: a call's states become the incoming call, the
// other side's hang-up, the one "Call terminated." per call and the failure reasons. The telephone has
// one call at a time: a caller who comes while a call exists is turned away and the program hears
// nothing of that call.
#include "sip/base/sip_events.h"

#include <string>

#include "sip/base/call_control.h"

namespace {

SipEventState* StateOf(LinphoneCore* lc) {
  return static_cast<SipEventState*>(
      linphone_core_cbs_get_user_data(linphone_core_get_current_callbacks(lc)));
}

const t_SipVTable* TableOf(LinphoneCore* lc) {
  SipEventState* state = StateOf(lc);
  return state == nullptr ? nullptr : state->table.load();
}

std::string AddressText(const LinphoneAddress* address, bool uriOnly = false) {
  if (address == nullptr) return "";
  char* text = uriOnly ? linphone_address_as_string_uri_only(address) : linphone_address_as_string(address);
  std::string copy = text == nullptr ? "" : text;
  bctbx_free(text);
  return copy;
}

bool AnotherCallExists(LinphoneCore* lc, const LinphoneCall* call) {
  for (const bctbx_list_t* it = linphone_core_get_calls(lc); it != nullptr; it = it->next) {
    const auto* other = static_cast<const LinphoneCall*>(it->data);
    if (other != call && !CallOver(other)) return true;
  }
  return false;
}

// Every call ends in End or Error and then Released; the end is reported at the first of them. A turned
// away caller's end is not the program's call ending.
void ReportEnd(LinphoneCore* lc, const LinphoneCall* call) {
  SipEventState* state = StateOf(lc);
  if (state == nullptr || state->turnedAway.count(call) != 0 || !state->ended.insert(call).second) return;
  const t_SipVTable* table = state->table.load();
  if (table != nullptr && table->display_status != nullptr) table->display_status(lc, kCallTerminatedStatus);
}

void OnCallState(LinphoneCore* lc, LinphoneCall* call, LinphoneCallState cstate, const char* message) {
  SipEventState* state = StateOf(lc);
  const t_SipVTable* table = state == nullptr ? nullptr : state->table.load();
  if (table == nullptr) return;
  const bool turnedAway = state->turnedAway.count(call) != 0;
  switch (cstate) {
    case LinphoneCallStateIncomingReceived:
      if (AnotherCallExists(lc, call)) {
        state->turnedAway.insert(call);
        state->toRefuse.push_back(linphone_call_ref(call));
        if (table->turned_away != nullptr)
          table->turned_away(lc, AddressText(linphone_call_get_remote_address(call), true).c_str());
        break;
      }
      // The address alone: a display name may hold the ':' that the caller's parse starts from.
      if (table->inv_recv != nullptr)
        table->inv_recv(lc, AddressText(linphone_call_get_remote_address(call), true).c_str());
      break;
    case LinphoneCallStateEnd:
      if (turnedAway) break;
      // The library says "Call terminated" for an end of ours, "Call ended" for the other side's.
      if (table->bye_recv != nullptr && (message == nullptr || std::string(message) != "Call terminated"))
        table->bye_recv(lc, AddressText(linphone_call_get_remote_address(call)).c_str());
      ReportEnd(lc, call);
      break;
    case LinphoneCallStateError:
      // A call of ours that the other side refused or that never reached it: say why.
      if (!turnedAway && linphone_call_get_dir(call) == LinphoneCallOutgoing &&
          table->display_message != nullptr)
        table->display_message(lc, message != nullptr && message[0] != '\0' ? message : "Call failed");
      ReportEnd(lc, call);
      break;
    case LinphoneCallStateReleased:
      ReportEnd(lc, call);
      state->ended.erase(call);
      state->turnedAway.erase(call);
      break;
    default: break;
  }
}

void OnRegistrationState(LinphoneCore* lc, LinphoneProxyConfig* config, LinphoneRegistrationState rstate,
                         const char* message) {
  const t_SipVTable* table = TableOf(lc);
  if (table == nullptr) return;
  // First the state, then a failure's box: the tip says why while the box waits for a person.
  if (table->registration_state != nullptr) table->registration_state(lc, config, rstate, message);
  if (rstate != LinphoneRegistrationFailed || table->display_message == nullptr) return;
  // Refused credentials are asked for again (authentication_requested): no message on top of that.
  const LinphoneReason reason = linphone_proxy_config_get_error(config);
  if (reason == LinphoneReasonUnauthorized) return;
  table->display_message(lc, message != nullptr && message[0] != '\0' ? message : "Registration failed");
}

void OnAuthentication(LinphoneCore* lc, LinphoneAuthInfo* info, LinphoneAuthMethod method) {
  const t_SipVTable* table = TableOf(lc);
  if (table == nullptr || table->auth_info_requested == nullptr || method != LinphoneAuthHttpDigest) return;
  const char* realm = linphone_auth_info_get_realm(info);
  const char* user = linphone_auth_info_get_username(info);
  table->auth_info_requested(lc, realm != nullptr ? realm : "", user != nullptr ? user : "");
}

void OnGlobalState(LinphoneCore* lc, LinphoneGlobalState gstate, const char* message) {
  const t_SipVTable* table = TableOf(lc);
  if (table != nullptr && table->general_state != nullptr) table->general_state(lc, gstate, message);
}

void OnPresence(LinphoneCore* lc, LinphoneFriend* lf) {
  const t_SipVTable* table = TableOf(lc);
  if (table != nullptr && table->notify_recv != nullptr) table->notify_recv(lc, lf);
}

void OnSubscriber(LinphoneCore* lc, LinphoneFriend* lf, const char* url) {
  const t_SipVTable* table = TableOf(lc);
  if (table != nullptr && table->new_unknown_subscriber != nullptr)
    table->new_unknown_subscriber(lc, lf, url);
}

void OnCallLog(LinphoneCore* lc, LinphoneCallLog* log) {
  const t_SipVTable* table = TableOf(lc);
  if (table != nullptr && table->call_log_updated != nullptr) table->call_log_updated(lc, log);
}

void OnText(LinphoneCore* lc, LinphoneChatRoom* room, LinphoneChatMessage* message) {
  const t_SipVTable* table = TableOf(lc);
  if (table == nullptr || table->text_received == nullptr) return;
  const char* text = linphone_chat_message_get_utf8_text(message);
  table->text_received(lc, room, linphone_chat_message_get_from_address(message),
                       text != nullptr ? text : "");
}

void OnDtmf(LinphoneCore* lc, LinphoneCall* call, int dtmf) {
  const t_SipVTable* table = TableOf(lc);
  if (table != nullptr && table->dtmf_received != nullptr) table->dtmf_received(lc, call, dtmf);
}

}  // namespace

void RefuseTurnedAwayCalls(SipEventState* state) {
  std::vector<LinphoneCall*> calls;
  calls.swap(state->toRefuse);
  for (LinphoneCall* call : calls) {
    if (!CallOver(call)) linphone_call_decline(call, LinphoneReasonBusy);
    linphone_call_unref(call);
  }
}

LinphoneCoreCbs* CreateSipEventCallbacks(LinphoneFactory* factory, SipEventState* state) {
  LinphoneCoreCbs* cbs = linphone_factory_create_core_cbs(factory);
  linphone_core_cbs_set_user_data(cbs, state);
  linphone_core_cbs_set_call_state_changed(cbs, OnCallState);
  linphone_core_cbs_set_registration_state_changed(cbs, OnRegistrationState);
  linphone_core_cbs_set_authentication_requested(cbs, OnAuthentication);
  linphone_core_cbs_set_global_state_changed(cbs, OnGlobalState);
  linphone_core_cbs_set_notify_presence_received(cbs, OnPresence);
  linphone_core_cbs_set_new_subscription_requested(cbs, OnSubscriber);
  linphone_core_cbs_set_call_log_updated(cbs, OnCallLog);
  linphone_core_cbs_set_message_received(cbs, OnText);
  linphone_core_cbs_set_dtmf_received(cbs, OnDtmf);
  return cbs;
}
