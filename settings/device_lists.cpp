// Filling the device lists from the library's sound cards and taking the user's pick.
#include "settings/device_lists.h"

#include <mutex>
#include <string>
#include <vector>

#include "platform/gui/dialog.h"
#include "settings/settings_controls.h"
#include "sip/base/text_buffer.h"
#include "sip/loader/telephone_loader.h"
#include "state/settings.h"

namespace {

// The drop-down part is wider than the field: device names are long.
constexpr WPARAM kDroppedWidth = 200;

}  // namespace

int StoredDeviceIndex(const std::vector<std::string>& names, const char* stored) {
  int index = 0;
  for (std::size_t j = 0; j < names.size(); ++j)
    if (names[j] == stored) index = static_cast<int>(j);
  return index;
}

void FillDeviceLists(HWND hwndDlg) {
  // The names are the SIP library's own, so this loads it in a copy without the telephone too; the holder
  // could be asked over the bus instead, but with no holder (none yet, or a killed one) the lists would
  // be empty, and the names read here are the ones a copy taking the telephone over will find.
  const t_Telephone* telephone = LoadTelephone();
  const std::vector<std::string> names =
      telephone != nullptr ? telephone->SoundDeviceNames() : std::vector<std::string>{};
  for (const std::string& name : names) {
    SendDlgItemMessageA(hwndDlg, kListCapture, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendDlgItemMessageA(hwndDlg, kListPlayback, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  // A stored name that matches no device stays as it is: written back on OK unless the user picks one.
  SendDlgItemMessageA(hwndDlg, kListCapture, CB_SETCURSEL,
                      static_cast<WPARAM>(StoredDeviceIndex(names, Snd_capture)), 0);
  SendDlgItemMessageA(hwndDlg, kListPlayback, CB_SETCURSEL,
                      static_cast<WPARAM>(StoredDeviceIndex(names, Snd_playback)), 0);
  SendDlgItemMessageA(hwndDlg, kListCapture, CB_SETDROPPEDWIDTH, kDroppedWidth, 0);
  SendDlgItemMessageA(hwndDlg, kListPlayback, CB_SETDROPPEDWIDTH, kDroppedWidth, 0);
}

void DeviceChosen(HWND hwndDlg, int list) {
  const LRESULT index = SendDlgItemMessageA(hwndDlg, list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  const LRESULT length = SendDlgItemMessageA(hwndDlg, list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return;
  std::string name(static_cast<std::size_t>(length) + 1, '\0');
  SendDlgItemMessageA(hwndDlg, list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(name.data()));
  Lock lock(SettingsTextMutex());
  if (list == kListCapture)
    FillAndCopy(Snd_capture, name.c_str());
  else
    FillAndCopy(Snd_playback, name.c_str());
}
