// The SIP telephone as the window procedure reaches it. The telephone's module sits beside the window's,
// not below it, so start-up hands its handlers in; until then this copy has no telephone.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/core/messages.h"

struct t_Telephone {
  bool (*HasCore)();                                             // this copy holds the telephone
  void (*HangUp)(HWND asker);                                    // code 4
  void (*CallRequest)(HWND asker);                               // code 5
  void (*ReapplySettings)();                                     // code 7
  void (*Start)();                                               // code 10
  void (*RegistrationQuery)(LPARAM asker);                       // code 11
  void (*DoorAddress)(HWND sender, const COPYDATASTRUCT* data);  // copy-data tag 0
  void (*CallTarget)(HWND sender, const COPYDATASTRUCT* data);   // copy-data tag 6
  void (*IncomingCall)();                                        // WM_USER 0
  void (*AuthenticationEntered)(BOOL ok);                        // WM_USER 1
  void (*RoleTick)();                              // once a second: take up a telephone left free
  void (*AnswerRinging)(bool answer);              // code 14: the Accept dialog's OK (true) or Cancel
  void (*TelephoneStateQuery)(HWND asker);         // code 15
  void (*ShutDown)();                              // closing: registration removed, role handed on (code 8)
  std::vector<std::string> (*SoundDeviceNames)();  // the settings dialog's device lists
};

// The telephone is built as a loadable module (kestrova-telephone.so): a copy without the telephone never
// maps the SIP library. Its one entry point returns the handlers, or nullptr when the module was built
// from other sources (another program name, another table layout) than the program loading it.
inline constexpr const char* kTelephoneModuleFile = "kestrova-telephone.so";
inline constexpr const char* kTelephoneModuleEntry = "KestrovaTelephoneModule";
using t_TelephoneModuleEntry = const t_Telephone* (*)(const char* programName, std::size_t tableSize);

// Window thread, at start-up; nullptr takes the telephone away again (tests).
void SetTelephone(const t_Telephone* telephone);
// The handlers handed in, or nullptr.
const t_Telephone* Telephone();
