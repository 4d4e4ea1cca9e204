// The tray icon of this copy: its record, adding and removing it.
#include "app/notify_icon.h"

#include <cstring>

#include "platform/gui/application.h"
#include "platform/gui/tray.h"
#include "state/program.h"
#include "state/tray_record.h"

BOOL AddNotifyIcon() {
  const HICON icon = GetClassSmallIcon(g_hwndMain);
  NOTIFYICONDATA record;
  {
    Lock lock(TrayRecordLock);
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = 88;
    nid.hWnd = g_hwndMain;
    nid.hIcon = icon;
    if (nid.hIcon == nullptr) return FALSE;
    std::strncpy(nid.szTip, kProgramName, sizeof nid.szTip - 1);
    nid.uID = kTrayIconId;
    nid.uCallbackMessage = kTrayCallbackMessage;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record = nid;
  }
  if (Shell_NotifyIcon(NIM_ADD, &record)) return TRUE;
  MessageBox(g_hwndMain, "Try icon load error", "Error", MB_ICONERROR | MB_TASKMODAL);
  return FALSE;
}

BOOL DeleteNotifyIcon() {
  NOTIFYICONDATA record;
  {
    Lock lock(TrayRecordLock);
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = 88;
    nid.hWnd = g_hwndMain;
    nid.uID = kTrayIconId;
    record = nid;
  }
  if (Shell_NotifyIcon(NIM_DELETE, &record)) return TRUE;
  MessageBox(g_hwndMain, "Try icon unload error", "Error", MB_ICONERROR | MB_TASKMODAL);
  return FALSE;
}
