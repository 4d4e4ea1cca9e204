// Start-up of one copy and its message loop.
#include "app/win_main.h"

#include <string_view>

#include "app/instance_number.h"
#include "app/my_close.h"
#include "app/notify_icon.h"
#include "door/relay.h"
#include "platform/core/diagnostics.h"
#include "platform/core/window_thread.h"
#include "platform/gui/application.h"
#include "platform/gui/instance_bus.h"
#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "video/reader_thread.h"
#include "visit_recording/visit_recording.h"
#include "visitor_window/missed_mark.h"
#include "window/door_result.h"
#include "window/telephone_tip.h"
#include "window/window_proc.h"

int WinMain(HINSTANCE hInstance, HINSTANCE, const char* lpCmdLine, int) {
  // From here on, window-thread state touched from another thread stops a debug build.
  BindWindowThread();
  ResetShowData();

  MESSAGE = RegisterWindowMessage(kProgramName);

  if (!FindInstanceNumber()) {
    Diag(DiagLevel::Error, "no instance number could be taken (runtime folder unusable): ending");
    return 1;
  }
  g_hInstance = hInstance;
  SetShutdownProcedure(MyClose);
  SetRelayPainter([](t_ShowData data) { ShowMyWindow(g_hwndMain, data); });
  SetRelayResultSink(SendDoorResultToWindow);

  if (!InitApp()) return 0;
  RouteCloseSignalsTo(g_hwndMain);
  // Once other copies can reach us, a close request must take our socket along.
  // Without the bus this copy still runs; its broadcasts then reach only itself.
  StartInstanceBus();

  InitSkin(g_hInstance, g_hwndMain, Skin);
  SkinBitmapPos(Skin, ShowData.ClientHeight, ShowData.ClientWidth);
  ShowMyWindow(g_hwndMain, ShowData);

  if (!AddNotifyIcon()) {
    StopInstanceBus();
    return 0;
  }
  // The log opens on its worker; the missed mark follows when it has (code 12).
  StartVisitRecording();
  // Before this copy may take the telephone up itself: its own line then comes after the answer.
  AskForTelephoneLine();
  SetWindowPos(g_hwndMain, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  // The show mode given to the program is ignored: the window always opens normally.
  ShowWindow(g_hwndMain, SW_SHOW);
  StartReaderThread();
  // Instance 1 holds the telephone from the start; the others take it up when it is handed over or
  // when its holder is gone.
  if (PocSpusteni == 1) SendMessage(g_hwndMain, MESSAGE, kCodeStartSip, 0);
  SetTimer(g_hwndMain, kSipRoleTimer, kSipRoleTimerPeriodMs);
  if (lpCmdLine != nullptr && std::string_view(lpCmdLine) == kVisitorsCommandLine)
    PostMessage(g_hwndMain, MESSAGE, kCodeOpenVisitors, 0);

  const int exitCode = RunMessageLoop();
  StopInstanceBus();
  return exitCode;
}
