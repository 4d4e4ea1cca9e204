// The SIP copy's side of the call flows between copies: door address answers (tag 0), the call request
// (code 5) and its target (tag 6), the hang-up request (code 4).
#include "sip/call_routing.h"

#include <cstring>
#include <optional>

#include "platform/core/diagnostics.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "sip/base/call_control.h"
#include "sip/base/text_buffer.h"
#include "sip/sip_vars.h"
#include "state/door_address.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"

namespace {

bool Matches(const char* address) {
  Lock lock(CallerMutex());
  return UseSIP ? std::strcmp(address, Name_call) == 0 : cmp_ip(address, IP_call) == 0;
}

}  // namespace

void DoorAddressReceived(HWND sender, const COPYDATASTRUCT* data) {
  AssertWindowThread();
  // Every answer answers the pending call; from the second on there is none left, which is fine.
  const std::optional<bool> inCall = RunOnSipThread<bool>([](LinphoneCore* core) {
    AcceptPendingCall(core);
    return InCall(core);
  });
  char address[64];
  FillAndCopyBytes(address, data->lpData, data->cbData);
  if (!Matches(address)) return;
  // The Terminate dialog stays the way to end the call until a copy is known to have it.
  if (!inCall.has_value())
    Diag(DiagLevel::Warning,
         "the SIP thread did not answer in time: the call stays with the Terminate dialog");
  const bool handed = the_core != nullptr && inCall.value_or(false);
  if (handed && hWnd_Terminate != 0) {
    EndDialog(hWnd_Terminate, 0);
    hWnd_Terminate = 0;
  }
  SendMessage(sender, MESSAGE, kCodeShowHandedCall, 0);
  if (handed) SendMessage(sender, MESSAGE, kCodeSetLinCall, 1);
}

void CallRequested(HWND asker) {
  SendMessage(asker, MESSAGE, kCodeSendCallTarget, static_cast<LPARAM>(g_hwndMain));
}

void CallTargetReceived(HWND sender, const COPYDATASTRUCT* data) {
  char target[100];
  FillAndCopyBytes(target, data->lpData, data->cbData);
  const std::optional<bool> placed = RunOnSipThread<bool>([text = std::string(target)](LinphoneCore* core) {
    return linphone_core_invite(core, text.c_str()) != nullptr;
  });
  if (placed.value_or(false)) SendMessage(sender, MESSAGE, kCodeSetLinCall, 1);
}

void HangUpRequested(HWND) {
  const std::optional<bool> inCall = RunOnSipThread<bool>([](LinphoneCore* core) {
    TerminateCurrentCall(core);
    return InCall(core);
  });
  if (!inCall.value_or(true)) SendMessage(HWND_BROADCAST, MESSAGE, kCodeSetLinCall, 0);
}
