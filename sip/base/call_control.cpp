// Answering and ending calls without naming them: the telephone has at most one call at a time.
#include "sip/base/call_control.h"

namespace {

bool Ringing(LinphoneCall* call) {
  const LinphoneCallState state = linphone_call_get_state(call);
  return state == LinphoneCallStateIncomingReceived || state == LinphoneCallStateIncomingEarlyMedia;
}

}  // namespace

bool AcceptPendingCall(LinphoneCore* core) {
  for (const bctbx_list_t* it = linphone_core_get_calls(core); it != nullptr; it = it->next) {
    auto* call = static_cast<LinphoneCall*>(it->data);
    if (Ringing(call)) return linphone_call_accept(call) == 0;
  }
  return false;
}

bool TerminateCurrentCall(LinphoneCore* core) {
  LinphoneCall* call = linphone_core_get_current_call(core);
  if (call == nullptr || CallOver(call)) {
    call = nullptr;
    for (const bctbx_list_t* it = linphone_core_get_calls(core); it != nullptr && call == nullptr;
         it = it->next)
      if (!CallOver(static_cast<LinphoneCall*>(it->data))) call = static_cast<LinphoneCall*>(it->data);
  }
  return call != nullptr && linphone_call_terminate(call) == 0;
}

bool InCall(LinphoneCore* core) { return linphone_core_in_call(core) != FALSE; }

bool CallOver(const LinphoneCall* call) {
  const LinphoneCallState state = linphone_call_get_state(call);
  return state == LinphoneCallStateEnd || state == LinphoneCallStateError ||
         state == LinphoneCallStateReleased;
}
