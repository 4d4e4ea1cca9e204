// The telephone's variables, and which thread may touch each.
#pragma once

#include <linphone/core.h>

#include <functional>
#include <optional>

#include "platform/core/annotated_mutex.h"
#include "platform/core/bounds.h"
#include "platform/core/types.h"
#include "platform/core/window_thread.h"
#include "sip/base/sip_thread.h"
#include "sip/base/vtable.h"

// The core while this copy holds the telephone, else null. Only its identity is used here; the core
// itself is used on the SIP thread alone.
extern LinphoneCore* the_core GUARDED_BY(WindowThread);
// The callback table; lives for the life of the process.
extern t_SipVTable vtable;
// The SIP thread, which owns the core.
extern SipThread Linphone_Thread;
// SIP thread only: the current proxy configuration and the authentication record last made.
extern LinphoneProxyConfig* cfg;
extern LinphoneAuthInfo* info;
// Guards the last caller's user part and host: written on the SIP thread, read on the window thread.
extern Mutex CallerLock;
inline Mutex& CallerMutex() RETURN_CAPABILITY(CallerLock) { return CallerLock; }
extern char IP_call[64] GUARDED_BY(CallerLock);
extern char Name_call[64] GUARDED_BY(CallerLock);
// The modeless dialogs while they are open, else 0.
extern HWND hWnd_Accept GUARDED_BY(WindowThread);
extern HWND hWnd_Terminate GUARDED_BY(WindowThread);

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
