// The telephone's life in one copy: set-up, reload, registration state, shutdown and hand-over.
#include "sip/telephone.h"

#include <optional>

#include "platform/core/diagnostics.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "sip/base/call_control.h"
#include "sip/base/silent_card.h"
#include "sip/base/sound_devices.h"
#include "sip/base/text_buffer.h"
#include "sip/call_dialogs.h"
#include "sip/call_routing.h"
#include "sip/callbacks.h"
#include "sip/credentials.h"
#include "sip/proxy_config.h"
#include "sip/sip_vars.h"
#include "sip/telephone_state.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/sip_role.h"
#include "state/sip_state.h"

namespace {

// A copy whose core could not be made does not try again on its own every second.
bool g_coreFailed GUARDED_BY(WindowThread) = false;
// A set-up waits for the SIP thread while serving sent messages, among them the hand-over's code 8.
bool g_settingUp GUARDED_BY(WindowThread) = false;

void ShowProxyConfigError() {
  MessageBoxA(g_hwndMain, "Add proxy config error", "Error", MB_OK | MB_ICONEXCLAMATION);
}

bool HasCore() {
  AssertWindowThread();
  return the_core != nullptr;
}

void SetUpSipTelephone() {
  AssertWindowThread();
  FillSipVTable(vtable);
  SipCoreOptions options{SIP_port, &vtable, "", "", kProgramName};
  {
    Lock lock(SettingsTextMutex());
    options.capture = Snd_capture;
    options.playback = Snd_playback;
  }
  SipCoreStarted started;
  if (!Linphone_Thread.Start(options, WaitForSipThread, &started)) {
    g_coreFailed = true;
    ReleaseSipRole();
    return;
  }
  g_coreFailed = false;
  the_core = started.core;
  {
    // A device the library does not know is replaced by its choice, in memory only.
    Lock lock(SettingsTextMutex());
    FillAndCopy(Snd_capture, started.capture.c_str());
    FillAndCopy(Snd_playback, started.playback.c_str());
  }

  // A copy that shows a call of a telephone that is gone (its copy was killed) shows it no more. Sent, not
  // posted: a late clear would take the mark of a call placed right after the start.
  SendMessage(HWND_BROADCAST, MESSAGE, kCodeCallEnded, 0);

  char door[sizeof IP_addr];
  CopyIP_addr(door);
  const std::optional<bool> added =
      RunOnSipThread<bool>([account = AccountFromSettings(door)](LinphoneCore* core) {
        linphone_core_set_primary_contact(core, account.contact.c_str());
        if (!account.use) return true;
        AddAccountAuthInfo(core, account);
        return AddAccountProxyConfig(core, account);
      });
  // Before the error box, which waits for a person while the other copies would show nothing new.
  PublishTelephoneLineFromSettings();
  if (!added.value_or(true)) ShowProxyConfigError();
}

}  // namespace

void StartSipTelephone() {
  AssertWindowThread();
  if (the_core != nullptr || g_settingUp) return;
  if (!TakeSipRole()) return;  // another copy holds the telephone
  g_settingUp = true;
  SetUpSipTelephone();
  g_settingUp = false;
}

void ReloadSipSettings() {
  AssertWindowThread();
  if (the_core == nullptr) return;
  ReadSipAccountSettings();
  std::string capture, playback;
  {
    Lock lock(SettingsTextMutex());
    if (SIP_id[0] == '\0') FillAndCopy(SIP_id, "Kestrova");
    capture = Snd_capture;
    playback = Snd_playback;
  }
  char door[sizeof IP_addr];
  CopyIP_addr(door);

  const std::optional<bool> added =
      RunOnSipThread<bool>([account = AccountFromSettings(door), capture = std::move(capture),
                            playback = std::move(playback)](LinphoneCore* core) {
        linphone_core_set_primary_contact(core, account.contact.c_str());
        bool accepted = true;
        if (account.use) {
          // The previous configuration goes whether or not it registered: left in the core it would go on
          // registering with the old credentials.
          RemoveAccountProxyConfig(core, true);
          accepted = AddAccountProxyConfig(core, account);
          AddAccountAuthInfo(core, account);
        } else {
          RemoveAccountProxyConfig(core, false);
        }
        // As at start: an empty name keeps the device in use, and a machine without a card stays silent.
        UseSoundDevices(core, capture, playback);
        return accepted;
      });
  PublishTelephoneLineFromSettings();
  if (!added.value_or(true)) ShowProxyConfigError();
}

void AnswerRegistrationQuery(LPARAM asker) {
  // -1: no configuration, SIP_reg keeps its value.
  const std::optional<int> state = RunOnSipThread<int>([](LinphoneCore*) {
    return cfg == nullptr ? -1 : AccountRegistered() ? 1 : 0;
  });
  if (state.value_or(-1) >= 0) SIP_reg = *state == 1 ? TRUE : FALSE;
  SendMessage(static_cast<HWND>(asker), MESSAGE, kCodeRegistration, SIP_reg);
}

void ShutDownSipTelephone() {
  AssertWindowThread();
  if (the_core == nullptr) return;
  RunOnSipThread([](LinphoneCore* core) {
    if (cfg != nullptr) RemoveAccountProxyConfig(core, true);
    if (InCall(core)) TerminateCurrentCall(core);
    // Released by the thread that owns it: the library's objects may not change threads.
    if (info != nullptr) linphone_auth_info_unref(info);
    info = nullptr;
  });
  Linphone_Thread.Stop(WaitForSipThread);
  the_core = nullptr;
  ForgetTelephoneLine();
  CloseCallDialogs();
  ReleaseSipRole();
  // Exactly one of the copies that remain takes the role up.
  SendMessage(HWND_BROADCAST, MESSAGE, kCodeSipClosing, static_cast<LPARAM>(g_hwndMain));
}

void SipRoleTimerTick() {
  AssertWindowThread();
  if (the_core != nullptr || g_coreFailed) return;
  if (!TakeSipRole()) return;
  Diag(DiagLevel::Info, "the SIP role was free: this copy takes up the telephone");
  SendMessage(g_hwndMain, MESSAGE, kCodeStartSip, static_cast<LPARAM>(g_hwndMain));
}

const t_Telephone* SipTelephone() {
  static const t_Telephone telephone{
      HasCore,
      HangUpRequested,
      CallRequested,
      ReloadSipSettings,
      StartSipTelephone,
      AnswerRegistrationQuery,
      DoorAddressReceived,
      CallTargetReceived,
      OpenAcceptDialogFor,
      AddEnteredCredentials,
      SipRoleTimerTick,
      AnswerRinging,
      AnswerTelephoneLineQuery,
      ShutDownSipTelephone,
      SoundDeviceNames,
  };
  return &telephone;
}
