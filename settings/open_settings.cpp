// Opening the settings dialog: the fields from memory and from the settings read again.
#include <cstdio>
#include <string>

#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "settings/device_lists.h"
#include "settings/settings_controls.h"
#include "settings/settings_steps.h"
#include "settings/sip_fields.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/sip_state.h"

void OpenSettings(HWND hwndDlg) {
  AssertWindowThread();
  ShowData.Button = kNoButton;
  // While the dialog is open the video reader is not started again: a new address takes effect after OK.
  KillTimer(g_hwndMain, kReaderTimer);
  SettingsDialogOpen = true;
  // The address, the unit's identity, the prefix and the pop-up flag are this copy's own, kept in memory;
  // the account and the devices are shared by every copy, so the file holds the latest.
  ReadSipAccountSettings();

  char address[sizeof IP_addr];
  CopyIP_addr(address);
  // Copies: no lock is held across the toolkit's calls.
  std::string doorIdentity, prefix, identity, server, password;
  {
    Lock lock(SettingsTextMutex());
    doorIdentity = SIP_id_doorphone;
    prefix = SIP_call_prefix;
    identity = SIP_id;
    server = SIP_addr;
    password = SIP_pass;
  }
  SetDlgItemTextA(hwndDlg, kFieldDoorAddress, address);
  CheckDlgButton(hwndDlg, kBoxPopUp, PopUp ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(hwndDlg, kFieldDoorIdentity, doorIdentity.c_str());
  SetDlgItemTextA(hwndDlg, kFieldCallPrefix, prefix.c_str());
  SetDlgItemTextA(hwndDlg, kFieldIdentity, identity.c_str());
  SetDlgItemTextA(hwndDlg, kFieldSipServer, server.c_str());
  SetDlgItemTextA(hwndDlg, kFieldPassword, password.c_str());
  char expiry[16];
  std::snprintf(expiry, sizeof expiry, "%i", SIP_reg_duration.load());
  SetDlgItemTextA(hwndDlg, kFieldExpiry, expiry);

  const bool useSip = UseSIP;
  CheckDlgButton(hwndDlg, kBoxUseSip, useSip ? BST_CHECKED : BST_UNCHECKED);
  ShowSipFields(hwndDlg, useSip);
  if (useSip) {
    SetDlgItemTextA(hwndDlg, kLabelRegistration, "Registration failed");
    // The copy holding the telephone answers before this returns, wherever it runs.
    SendMessage(HWND_BROADCAST, MESSAGE, kCodeRegistration, static_cast<LPARAM>(g_hwndMain));
    if (SIP_reg) SetDlgItemTextA(hwndDlg, kLabelRegistration, "Registration successful");
  }
  FillDeviceLists(hwndDlg);
}
