// The telephone's variables and the window thread's waiting for the SIP thread.
#include "sip/sip_vars.h"

#include "platform/gui/sent_wait.h"

LinphoneCore* the_core = nullptr;
t_SipVTable vtable{};
SipThread Linphone_Thread;
LinphoneProxyConfig* cfg = nullptr;
LinphoneAuthInfo* info = nullptr;
char IP_call[64];
char Name_call[64];
HWND hWnd_Accept = 0;
HWND hWnd_Terminate = 0;

Mutex CallerLock;

bool WaitForSipThread(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  return WaitServingSentMessages(done, bound);
}

bool RunOnSipThread(SipThread::Request request) {
  return Linphone_Thread.Call(std::move(request), WaitForSipThread, bounds::Bound(SipThread::kRequestBound));
}
