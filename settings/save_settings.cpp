// OK in the settings dialog: the fields checked, the settings file written in one go, then memory, the
// reader and the SIP copy told.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/core/profile.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "settings/settings_controls.h"
#include "settings/settings_steps.h"
#include "sip/base/text_buffer.h"
#include "state/display_record.h"
#include "state/door_address.h"
#include "state/popup_state.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"

namespace {

// Not "Error": the telephone's failure box goes by that caption and takes over its text.
constexpr const char* kNotSavedCaption = "Settings not saved";

template <std::size_t N>
void ReadField(HWND hwndDlg, int id, char (&text)[N]) {
  text[0] = '\0';
  GetDlgItemTextA(hwndDlg, id, text, static_cast<int>(N));
}

bool Checked(HWND hwndDlg, int id) { return IsDlgButtonChecked(hwndDlg, id) == BST_CHECKED; }

// The port behind the address as a number; none gives 0.
long PortOf(const char* address) {
  const char* colon = std::strchr(address, ':');
  return colon == nullptr ? 0 : std::strtol(colon + 1, nullptr, 10);
}

// Only the notation changed ("192.168.1.250" for "192.168.001.250"): the connection stays. cmp_ip
// compares hosts alone, so the port is compared apart: units behind one address differ by it.
bool SameUnit(const char* address) {
  char current[sizeof IP_addr];
  CopyIP_addr(current);
  return std::strcmp(address, current) == 0 ||
         (cmp_ip(address, current) == 0 && PortOf(address) == PortOf(current));
}

void Refuse(HWND hwndDlg, const std::string& text) {
  MessageBoxA(hwndDlg, text.c_str(), kNotSavedCaption, MB_OK | MB_ICONERROR);
}

// What the fields hold, as OK takes them.
struct Fields {
  char address[sizeof IP_addr];
  char doorIdentity[sizeof SIP_id_doorphone], prefix[sizeof SIP_call_prefix];
  char expiry[25];
  char identity[sizeof SIP_id], password[sizeof SIP_pass], server[sizeof SIP_addr];
  BOOL popUp, useSip;
};

void ReadFields(HWND hwndDlg, Fields& f) {
  ReadField(hwndDlg, kFieldDoorAddress, f.address);
  if (f.address[0] == '\0') FillAndCopy(f.address, kDefaultDoorAddress);
  f.popUp = Checked(hwndDlg, kBoxPopUp) ? TRUE : FALSE;
  f.useSip = Checked(hwndDlg, kBoxUseSip) ? TRUE : FALSE;
  ReadField(hwndDlg, kFieldDoorIdentity, f.doorIdentity);
  ReadField(hwndDlg, kFieldCallPrefix, f.prefix);
  ReadField(hwndDlg, kFieldExpiry, f.expiry);
  // Read-only fields are taken too: they still hold the account, unchanged.
  ReadField(hwndDlg, kFieldIdentity, f.identity);
  ReadField(hwndDlg, kFieldPassword, f.password);
  ReadField(hwndDlg, kFieldSipServer, f.server);
  if (f.identity[0] == '\0') FillAndCopy(f.identity, kDefaultIdentity);
}

// Every key in one locked replace, in this order: two copies pressing OK at once never mix two accounts,
// and a failure leaves the file as it was. The SIP copy reads the keys back on code 7.
bool WriteFields(HWND hwndDlg, const Fields& f) {
  char useSip[16], popUp[16];
  std::snprintf(useSip, sizeof useSip, "%i", f.useSip);
  std::snprintf(popUp, sizeof popUp, "%i", f.popUp);
  const ProfileKey keys[] = {
      {"Sound", "Sound capture", Snd_capture},
      {"Sound", "Sound playback", Snd_playback},
      {"SIP", "SIP_addr", f.server},
      {"SIP", "SIP_id", f.identity},
      {"SIP", "SIP_pass", f.password},
      {"SIP", "SIP_reg_duration", f.expiry},  // saved as typed
      {"SIP", "UseSIP", useSip},
      {WindowSection, "IP_addr", f.address},
      {WindowSection, "SIP_id_doorphone", f.doorIdentity},
      {WindowSection, "SIP_call_prefix", f.prefix},
      {WindowSection, "pop", popUp},
  };
  std::string why;
  if (WritePrivateProfileKeys(keys, ini_file, /*secret=*/true, &why)) return true;
  Refuse(hwndDlg, std::string("The settings could not be saved in ") + ini_file + ": " + why + ".");
  return false;
}

// Memory follows the file only once the file holds the new settings.
void TakeFields(const Fields& f) {
  const bool sameUnit = SameUnit(f.address);
  {
    Lock lock(IP_addrMutex());
    FillAndCopy(IP_addr, f.address);
  }
  // After the new address is out: a reader restarting in between must not copy the old one.
  if (!sameUnit) ShowData.Kill_TCP = TRUE;
  PopUp = f.popUp;
  // The pop-up memory starts afresh with the new flag.
  hide = TRUE;
  show = TRUE;
  UseSIP = f.useSip;
  // As the settings file reads the number back; an empty field gives 0.
  SIP_reg_duration = ProfileNumber(f.expiry);
  Lock lock(SettingsTextMutex());
  FillAndCopy(SIP_id_doorphone, f.doorIdentity);
  FillAndCopy(SIP_call_prefix, f.prefix);
  FillAndCopy(SIP_id, f.identity);
  FillAndCopy(SIP_pass, f.password);
  FillAndCopy(SIP_addr, f.server);
}

}  // namespace

void SaveSettings(HWND hwndDlg) {
  Fields f{};
  ReadFields(hwndDlg, f);
  // The address goes into every request's URL: it must not change their host or path.
  const std::string fault = DoorAddressFault(f.address);
  if (!fault.empty()) {
    Refuse(hwndDlg,
           "The door unit's address cannot hold " + fault + ": it would send the requests elsewhere.");
    return;
  }
  if (!WriteFields(hwndDlg, f)) return;  // the dialog stays open with what was typed
  TakeFields(f);

  PostMessage(HWND_BROADCAST, MESSAGE, kCodeSettingsChanged, static_cast<LPARAM>(g_hwndMain));
  SetTimer(g_hwndMain, kReaderTimer, kReaderTimerPeriodMs);
  EndDialog(hwndDlg, IDOK);
}
