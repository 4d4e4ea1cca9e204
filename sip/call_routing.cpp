// The SIP copy's side of the call flows between copies: door address answers (tag 0), the call request
// (code 5) and its target (tag 6), the hang-up request (code 4).
#include "sip/call_routing.h"

#include <atomic>
#include <cstring>
#include <memory>

#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "sip/base/call_control.h"
#include "sip/base/cmp_ip.h"
#include "sip/base/text_buffer.h"
#include "sip/sip_vars.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"

namespace {

bool Matches(const char* address) {
  std::lock_guard lock(CallerMutex());
  return UseSIP ? std::strcmp(address, Name_call) == 0 : cmp_ip(address, IP_call) == 0;
}

}  // namespace

void DoorAddressReceived(HWND sender, const COPYDATASTRUCT* data) {
  // Every answer answers the pending call; from the second on there is none left, which is fine.
  auto inCall = std::make_shared<std::atomic<bool>>(false);
  RunOnSipThread([inCall](LinphoneCore* core) {
    AcceptPendingCall(core);
    *inCall = InCall(core);
  });
  char address[64];
  FillAndCopyBytes(address, data->lpData, data->cbData);
  if (!Matches(address)) return;
  if (hWnd_Terminate != 0) EndDialog(hWnd_Terminate, 0);
  hWnd_Terminate = 0;
  SendMessage(sender, MESSAGE, kCodeShowHandedCall, 0);
  if (the_core != nullptr && *inCall) SendMessage(sender, MESSAGE, kCodeSetLinCall, 1);
}

void CallRequested(HWND asker) {
  SendMessage(asker, MESSAGE, kCodeSendCallTarget, static_cast<LPARAM>(g_hwndMain));
}

void CallTargetReceived(HWND sender, const COPYDATASTRUCT* data) {
  char target[100];
  FillAndCopyBytes(target, data->lpData, data->cbData);
  auto placed = std::make_shared<std::atomic<bool>>(false);
  RunOnSipThread([placed, text = std::string(target)](LinphoneCore* core) {
    *placed = linphone_core_invite(core, text.c_str()) != nullptr;
  });
  if (*placed) SendMessage(sender, MESSAGE, kCodeSetLinCall, 1);
}

void HangUpRequested(HWND) {
  auto inCall = std::make_shared<std::atomic<bool>>(true);
  RunOnSipThread([inCall](LinphoneCore* core) {
    TerminateCurrentCall(core);
    *inCall = InCall(core);
  });
  if (!*inCall) SendMessage(HWND_BROADCAST, MESSAGE, kCodeSetLinCall, 0);
}
