// Shutdown of one copy on WM_CLOSE.
#include "app/my_close.h"

#include <chrono>

#include "app/notify_icon.h"
#include "door/relay_workers.h"
#include "platform/core/bounds.h"
#include "platform/gui/drawing.h"
#include "platform/gui/sent_wait.h"
#include "platform/gui/window.h"
#include "settings/volume_control.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "video/reader_thread.h"
#include "visit_recording/visit_recording.h"
#include "window/sip_handlers.h"

namespace {

// A press made just before closing still reaches a unit that answers.
constexpr auto kRelayGrace = std::chrono::seconds(1);
// Stopped commands return at once; this only guards against a hang.
constexpr auto kRelayStopBound = std::chrono::seconds(1);

}  // namespace

void MyClose() {
  // The place and size the user left the window at. Taken first: nothing that happens below (a
  // reader's last painting, for one) may change what is saved.
  RECT rect{};
  GetWindowRect(g_hwndMain, &rect);
  const int width = ShowData.ClientWidth, height = ShowData.ClientHeight;

  KillTimer(g_hwndMain, kReaderTimer);
  // Relay commands still running may show the window when they fail: they end, or are cut off, before
  // it is hidden.
  WaitServingSentMessages([] { return RelayPressesPending() == 0; }, bounds::Bound(kRelayGrace));
  AbandonRelayCommands(bounds::Bound(kRelayStopBound));
  ShowData.Kill_TCP = TRUE;
  AskReaderToStop();
  ShowWindow(g_hwndMain, SW_HIDE);
  // The reader's last steps write the tray tip and delete the picture file: it is gone before the
  // tray record is cleared (or cut off from both when it outlives its bound).
  AwaitReaderEnd();
  DeleteNotifyIcon();
  // A volume control opened from the settings dialog belongs to this copy and goes with it.
  EndVolumeControl();

  // The telephone: registration removed, call ended, core released, and the role handed to one of the
  // copies that remain.
  KillTimer(g_hwndMain, kSipRoleTimer);
  ShutDownTelephone();
  // After the reader and the telephone: their last events are written too.
  StopVisitRecording();

  {
    RecursiveLock lock(SkinMutex());
    for (t_Skin& piece : Skin) DeleteObject(piece.ShBitmap);
  }

  WriteSettingNumber(WindowSection, "Left", rect.left);
  WriteSettingNumber(WindowSection, "Top", rect.top);
  WriteSettingNumber(WindowSection, "Width", width);
  WriteSettingNumber(WindowSection, "Height", height);
}
