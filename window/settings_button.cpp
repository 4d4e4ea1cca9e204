// The settings button: the dialog runs modal, then the window is painted again and timer 0 restarted.
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "settings/settings_dialog.h"
#include "skin/skin.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "window/button_actions.h"

void SettingsReleased() {
  AssertWindowThread();
  DialogBoxParamA(g_hInstance, kSettingsDialog, g_hwndMain, DialogProc, 0);
  SettingsDialogOpen = false;
  // Whatever the answer: OK restarted the timer already, Cancel and a failed dialog did not.
  ShowMyWindow(g_hwndMain, ShowData);
  SetTimer(g_hwndMain, kReaderTimer, kReaderTimerPeriodMs);
}
