// The telephone's variables, and which thread may touch each.
#pragma once

#include <linphone/core.h>

#include <functional>
#include <mutex>
#include <optional>

#include "platform/core/bounds.h"
#include "platform/core/types.h"
#include "sip/base/sip_thread.h"
#include "sip/base/vtable.h"

// Window thread: the core while this copy holds the telephone, else null. Only its identity is used
// here; the core itself is used on the SIP thread alone.
extern LinphoneCore* the_core;
// The callback table; lives for the life of the process.
extern t_SipVTable vtable;
// The SIP thread, which owns the core.
extern SipThread Linphone_Thread;
// SIP thread only: the current proxy configuration and the authentication record last made.
extern LinphoneProxyConfig* cfg;
extern LinphoneAuthInfo* info;
// The last caller's user part and host: written on the SIP thread, read on the window thread, both
// under CallerMutex().
extern char IP_call[64];
extern char Name_call[64];
std::mutex& CallerMutex();
// Window thread: the modeless dialogs while they are open, else 0.
extern HWND hWnd_Accept;
extern HWND hWnd_Terminate;

// The window thread's way of waiting for the SIP thread: it keeps handling what is sent to it.
bool WaitForSipThread(const std::function<bool()>& done, std::chrono::milliseconds bound);
// Runs request on the SIP thread and waits for it (bounded); false when there is no telephone or it
// did not run in time (it may still run later, so it owns what it uses).
bool RunOnSipThread(SipThread::Request request);
// The same for a result: nothing when there is no telephone or the request did not run in time.
template <typename T>
std::optional<T> RunOnSipThread(std::function<T(LinphoneCore*)> request) {
  return Linphone_Thread.Ask<T>(std::move(request), WaitForSipThread,
                                bounds::Bound(SipThread::kRequestBound));
}
