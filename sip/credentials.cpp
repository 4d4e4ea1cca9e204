// The Authentication dialog and the way of its answer: realm saved, dialog on the window thread, the
// record completed and added on the SIP thread after OK.
#include "sip/credentials.h"

#include <atomic>
#include <cstring>
#include <string>

#include "platform/core/profile.h"
#include "platform/gui/dialog.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "sip/base/text_buffer.h"
#include "sip/sip_vars.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"

namespace {

constexpr int kTemplatePass = 118;
constexpr int kFieldUser = 119;
constexpr int kFieldPassword = 120;

std::atomic<bool> g_asking{false};
// Window thread: what the dialog's OK read from its fields (24 characters each at most).
char g_enteredUser[25];
char g_enteredPassword[25];

// Window thread.
void AskForCredentials(const std::string& realm) {
  {
    Lock lock(SettingsTextMutex());
    FillAndCopy(SIP_realm, realm.c_str());
  }
  WritePrivateProfileString("SIP", "SIP_realm", SIP_realm, ini_file);
  const LRESULT result = DialogBoxParamA(g_hInstance, kTemplatePass, g_hwndMain, DialogProcPass, 0);
  PostMessage(g_hwndMain, WM_USER, kUserAuthenticationEntered, result == IDOK ? 1 : 0);
}

void ReadField(HWND dialog, int id, char (&text)[25]) {
  std::memset(text, ' ', sizeof text);
  GetDlgItemTextA(dialog, id, text, sizeof text);
  text[sizeof text - 1] = '\0';
}

}  // namespace

void RequestCredentials(const char* realm, const char* username) {
  if (g_asking.exchange(true)) return;
  if (info != nullptr) linphone_auth_info_unref(info);
  info = linphone_auth_info_new(username, nullptr, nullptr, nullptr, realm, nullptr);
  char cut[64];
  FillAndCopy(cut, realm);
  QueueOnGuiThread([realm = std::string(cut)] { AskForCredentials(realm); });
}

LRESULT DialogProcPass(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  if (uMsg == WM_INITDIALOG) {
    SendDlgItemMessageA(hwndDlg, kFieldUser, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(SIP_id));
    SendDlgItemMessageA(hwndDlg, kFieldPassword, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(SIP_pass));
  } else if (uMsg == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case IDOK:
        ReadField(hwndDlg, kFieldPassword, g_enteredPassword);
        ReadField(hwndDlg, kFieldUser, g_enteredUser);
        EndDialog(hwndDlg, IDOK);
        break;
      case IDCANCEL:
        // The library (5.1) does nothing here; the request is kept for the versions that do abort.
        Linphone_Thread.Post([](LinphoneCore* core) {
          if (info != nullptr) linphone_core_abort_authentication(core, info);
        });
        EndDialog(hwndDlg, IDCANCEL);
        break;
      default: break;
    }
  }
  return FALSE;
}

void AddEnteredCredentials(BOOL ok) {
  if (ok) {
    Linphone_Thread.Post(
        [user = std::string(g_enteredUser), password = std::string(g_enteredPassword)](LinphoneCore* core) {
          if (info == nullptr) return;
          linphone_auth_info_set_username(info, user.c_str());
          linphone_auth_info_set_password(info, password.c_str());
          linphone_core_add_auth_info(core, info);
        });
  }
  g_asking = false;
}
