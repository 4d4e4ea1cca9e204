// The SIP fields' state and the address caption, at opening and when "Use SIP server" is clicked.
#include "settings/sip_fields.h"

#include "platform/gui/dialog.h"
#include "settings/settings_controls.h"

void ShowSipFields(HWND hwndDlg, bool useSip) {
  for (int id : kSipFields) SendDlgItemMessageA(hwndDlg, id, EM_SETREADONLY, useSip ? FALSE : TRUE, 0);
  // With a SIP server the unit's address serves the video only; calls go through the server.
  SetDlgItemTextA(hwndDlg, kLabelDoorAddress, useSip ? "Kestrova video IP address:" : "Kestrova IP address:");
}
