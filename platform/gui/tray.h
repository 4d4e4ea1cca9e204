// The notification-area icon: add, change the tip, remove; clicks arrive as the callback message.
#pragma once

#include <string>

#include "platform/core/records.h"
#include "platform/core/types.h"

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

// The small icon of the window's class, or nullptr when the class has none.
HICON GetClassSmallIcon(HWND hwnd);
// Adds, changes or removes the icon. A left click posts uCallbackMessage with lParam WM_LBUTTONDOWN
// (a double click WM_LBUTTONDBLCLK, the context request WM_RBUTTONDOWN) to hWnd.
// Adding succeeds also when the desktop has no notification area yet (a diagnostic says so):
// the icon appears when one starts.
BOOL Shell_NotifyIcon(DWORD message, const NOTIFYICONDATA* data);
// The sources that add to the icon, each owning its lines and its mark; the tip shows their lines under
// the record's tip in this order.
enum class TrayExtra { Telephone, MissedCalls };
// Lines the desktop shows under the record's tip for one source (e.g. "2 missed calls"; "" for none), and
// whether the source's mark is painted over the icon: missed calls a red dot, the telephone an amber
// square; the red dot alone shows when both are set, as the missed calls need the person first. They stay
// across NIM_MODIFY and are taken up by a later NIM_ADD. Any thread.
void SetNotifyIconExtra(UINT id, TrayExtra source, const std::string& extraLines, bool marked);
// The tip of icon `id` as the desktop gets it (UTF-8); "" when there is no such icon. Window thread only.
std::string NotifyIconTip(UINT id);
// Whether the desktop shows a notification area now. GUI thread only.
bool IsTrayAvailable();
// Puts the window away: hidden where the notification area's icon can bring it back, minimised to
// the task bar where the desktop has no notification area (a hidden window would be lost for good).
// Any thread; the window's state is settled when it returns.
void PutWindowAway(HWND hwnd);
