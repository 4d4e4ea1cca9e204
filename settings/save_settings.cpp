// OK in the settings dialog: the fields into memory, the settings file written, the SIP copy told.
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/core/profile.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "settings/settings_controls.h"
#include "settings/settings_steps.h"
#include "sip/base/cmp_ip.h"
#include "sip/base/text_buffer.h"
#include "state/display_record.h"
#include "state/popup_state.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"

namespace {

template <std::size_t N>
void ReadField(HWND hwndDlg, int id, char (&text)[N]) {
  text[0] = '\0';
  GetDlgItemTextA(hwndDlg, id, text, static_cast<int>(N));
}

void Write(const char* section, const char* key, const char* value) {
  WritePrivateProfileString(section, key, value, ini_file);
}

// The port behind the address as a number; none gives 0.
long PortOf(const char* address) {
  const char* colon = std::strchr(address, ':');
  return colon == nullptr ? 0 : std::strtol(colon + 1, nullptr, 10);
}

// A new address makes the reader drop the old unit; timer 0 starts it again with the new one. Only
// the notation changed ("192.168.1.250" for "192.168.001.250"): the connection stays. cmp_ip reads
// the four groups alone, so the port is compared apart: units behind one address differ by it.
void TakeDoorAddress(HWND hwndDlg) {
  char address[sizeof IP_addr];
  ReadField(hwndDlg, kFieldDoorAddress, address);
  if (address[0] == '\0') FillAndCopy(address, kDefaultDoorAddress);
  // A host name never equals anything by its groups: the same text is the same unit.
  const bool sameUnit = std::strcmp(address, IP_addr) == 0 ||
                        (cmp_ip(address, IP_addr) == 0 && PortOf(address) == PortOf(IP_addr));
  if (!sameUnit) ShowData.Kill_TCP = TRUE;
  std::lock_guard lock(IP_addrMutex());
  FillAndCopy(IP_addr, address);
}

}  // namespace

void SaveSettings(HWND hwndDlg) {
  TakeDoorAddress(hwndDlg);
  PopUp = IsDlgButtonChecked(hwndDlg, kBoxPopUp) == BST_CHECKED ? TRUE : FALSE;
  // The pop-up memory starts afresh with the new flag.
  hide = TRUE;
  show = TRUE;
  UseSIP = IsDlgButtonChecked(hwndDlg, kBoxUseSip) == BST_CHECKED ? TRUE : FALSE;

  char doorIdentity[sizeof SIP_id_doorphone], prefix[sizeof SIP_call_prefix];
  ReadField(hwndDlg, kFieldDoorIdentity, doorIdentity);
  ReadField(hwndDlg, kFieldCallPrefix, prefix);
  // Saved as typed; an empty field gives 0.
  char expiry[25];
  ReadField(hwndDlg, kFieldExpiry, expiry);
  SIP_reg_duration = std::atoi(expiry);
  // Read-only fields are taken too: they still hold the account, unchanged.
  char identity[sizeof SIP_id], password[sizeof SIP_pass], server[sizeof SIP_addr];
  ReadField(hwndDlg, kFieldIdentity, identity);
  ReadField(hwndDlg, kFieldPassword, password);
  ReadField(hwndDlg, kFieldSipServer, server);
  if (identity[0] == '\0') FillAndCopy(identity, kDefaultIdentity);
  {
    std::lock_guard lock(SettingsTextMutex());
    FillAndCopy(SIP_id_doorphone, doorIdentity);
    FillAndCopy(SIP_call_prefix, prefix);
    FillAndCopy(SIP_id, identity);
    FillAndCopy(SIP_pass, password);
    FillAndCopy(SIP_addr, server);
  }

  // Every key is its own atomic write, in this order; the SIP copy reads them back on code 7.
  Write("Sound", "Sound capture", Snd_capture);
  Write("Sound", "Sound playback", Snd_playback);
  Write("SIP", "SIP_addr", SIP_addr);
  Write("SIP", "SIP_id", SIP_id);
  Write("SIP", "SIP_pass", SIP_pass);
  Write("SIP", "SIP_reg_duration", expiry);
  WriteSettingNumber("SIP", "UseSIP", UseSIP);
  Write(WindowSection, "IP_addr", IP_addr);
  Write(WindowSection, "SIP_id_doorphone", SIP_id_doorphone);
  Write(WindowSection, "SIP_call_prefix", SIP_call_prefix);
  WriteSettingNumber(WindowSection, "pop", PopUp);

  PostMessage(HWND_BROADCAST, MESSAGE, kCodeSettingsChanged, static_cast<LPARAM>(g_hwndMain));
  SetTimer(g_hwndMain, kReaderTimer, kReaderTimerPeriodMs);
  EndDialog(hwndDlg, IDOK);
}
