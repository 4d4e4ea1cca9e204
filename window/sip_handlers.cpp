// The window thread's side of the SIP telephone: the handlers start-up handed in, and the two answers
// every copy gives the SIP copy (its door address, its call target).
#include "window/sip_handlers.h"

#include <cstdio>
#include <cstring>

#include "platform/core/diagnostics.h"
#include "platform/gui/window.h"
#include "sip/loader/telephone_loader.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/sip_role.h"
#include "state/sip_state.h"
#include "state/telephone_hooks.h"

bool HasSipCore() {
  const t_Telephone* t = Telephone();
  return t != nullptr && t->HasCore();
}

void FillDoorSipIdentity(char (&identity)[128]) {
  std::memset(identity, ' ', sizeof identity);
  Lock lock(SettingsTextMutex());
  std::snprintf(identity, sizeof identity, "%s%s", SIP_call_prefix, SIP_id_doorphone);
}

void SendDoorAddress(HWND asker) {
  COPYDATASTRUCT data{kTagDoorAddress, 0, nullptr};
  char identity[128];
  char address[sizeof IP_addr];
  if (UseSIP) {
    FillDoorSipIdentity(identity);
    data.cbData = sizeof identity;
    data.lpData = identity;
  } else {
    CopyIP_addr(address);
    data.cbData = sizeof address;
    data.lpData = address;
  }
  SendMessage(asker, WM_COPYDATA, static_cast<WPARAM>(g_hwndMain), reinterpret_cast<LPARAM>(&data));
}

void SendCallTarget(HWND sipWindow) {
  AssertWindowThread();
  COPYDATASTRUCT data{kTagCallTarget, sizeof CallToDoorPhone, CallToDoorPhone};
  SendMessage(sipWindow, WM_COPYDATA, static_cast<WPARAM>(g_hwndMain), reinterpret_cast<LPARAM>(&data));
}

void SipHangUp(HWND asker) {
  if (const t_Telephone* t = Telephone()) t->HangUp(asker);
}
void SipCallRequest(HWND asker) {
  if (const t_Telephone* t = Telephone()) t->CallRequest(asker);
}
void SipReapplySettings() {
  if (const t_Telephone* t = Telephone()) t->ReapplySettings();
}
void StartSipCore() {
  AssertWindowThread();
  if (HasSipCore()) return;
  // The role first: of the copies that try after a hand-over, the ones that lose never load the library.
  if (!TakeSipRole()) return;
  const t_Telephone* t = LoadTelephone();
  if (t == nullptr) {
    // Another copy may have a module that loads.
    ReleaseSipRole();
    return;
  }
  t->Start();
}
void SipRegistrationQuery(LPARAM asker) {
  if (const t_Telephone* t = Telephone()) t->RegistrationQuery(asker);
}
void ReceiveDoorAddress(HWND sender, const COPYDATASTRUCT* data) {
  if (const t_Telephone* t = Telephone()) t->DoorAddress(sender, data);
}
void ReceiveCallTarget(HWND sender, const COPYDATASTRUCT* data) {
  if (const t_Telephone* t = Telephone()) t->CallTarget(sender, data);
}
void OpenAcceptDialog() {
  if (const t_Telephone* t = Telephone()) t->IncomingCall();
}
void AuthenticationEntered(BOOL ok) {
  if (const t_Telephone* t = Telephone()) t->AuthenticationEntered(ok);
}
void SipAnswerRinging(bool answer) {
  if (const t_Telephone* t = Telephone(); t != nullptr && t->AnswerRinging != nullptr)
    t->AnswerRinging(answer);
}
void SipTelephoneStateQuery(HWND asker) {
  if (const t_Telephone* t = Telephone(); t != nullptr && t->TelephoneStateQuery != nullptr)
    t->TelephoneStateQuery(asker);
}
void SipRoleTick() {
  AssertWindowThread();
  if (const t_Telephone* t = Telephone()) {
    t->RoleTick();
    return;
  }
  if (TelephoneUnavailable() || !TakeSipRole()) return;
  Diag(DiagLevel::Info, "the SIP role was free: this copy takes up the telephone");
  SendMessage(g_hwndMain, MESSAGE, kCodeStartSip, static_cast<LPARAM>(g_hwndMain));
}

void ShutDownTelephone() {
  if (const t_Telephone* t = Telephone()) t->ShutDown();
}
