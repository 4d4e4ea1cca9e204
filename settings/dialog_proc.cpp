// The settings dialog's procedure: opening, the "Use SIP server" box, the device lists, the volume
// controls, OK and Cancel.
#include "platform/gui/dialog.h"
#include "settings/device_lists.h"
#include "settings/settings_controls.h"
#include "settings/settings_dialog.h"
#include "settings/settings_steps.h"
#include "settings/sip_fields.h"
#include "settings/volume_control.h"

namespace {

void UseSipClicked(HWND hwndDlg) {
  const bool on = IsDlgButtonChecked(hwndDlg, kBoxUseSip) == BST_CHECKED;
  ShowSipFields(hwndDlg, on);
  // The state shown was the old account's.
  if (!on) SetDlgItemTextA(hwndDlg, kLabelRegistration, "");
}

void Command(HWND hwndDlg, int id, int notification) {
  switch (id) {
    case IDOK: SaveSettings(hwndDlg); break;
    case IDCANCEL: EndDialog(hwndDlg, IDCANCEL); break;  // a device picked stays chosen in memory
    case kBoxUseSip: UseSipClicked(hwndDlg); break;
    case kListCapture:
    case kListPlayback:
      if (notification == CBN_SELCHANGE) DeviceChosen(hwndDlg, id);
      break;
    case kButtonVolumeCapture: OpenVolumeControl(hwndDlg, VolumeDevice::Capture); break;
    case kButtonVolumePlayback: OpenVolumeControl(hwndDlg, VolumeDevice::Playback); break;
    default: break;
  }
}

}  // namespace

LRESULT DialogProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  if (uMsg == WM_INITDIALOG)
    OpenSettings(hwndDlg);
  else if (uMsg == WM_COMMAND)
    Command(hwndDlg, LOWORD(wParam), HIWORD(wParam));
  return FALSE;
}
