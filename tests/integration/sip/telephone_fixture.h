// The program's window with its telephone, as start-up sets them up, on its own ports and folders; the
// dialogs are answered through the dialog driver.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "platform/core/profile.h"
#include "platform/gui/dialog_driver.h"
#include "sip/sip_vars.h"
#include "sip/telephone.h"
#include "state/private_codes.h"
#include "state/settings.h"
#include "state/telephone_hooks.h"
#include "tests/support/free_port.h"
#include "tests/support/gui/program_window.h"
#include "tests/support/sipp_peer.h"
#include "visit_recording/visit_recording.h"
#include "window/window_proc.h"

namespace sip_test {

class TelephoneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::RegisterProgramClass(WindowProcMain, kClassName);
    SetTelephone(SipTelephone());
    ASSERT_NE(test_support::OpenProgramWindow(tmp, kClassName), HWND_NONE);
    ourPort = test_support::FreeUdpPort();
    peerPort = test_support::FreeUdpPort();
    ASSERT_NE(ourPort, 0);
    ASSERT_NE(peerPort, 0);
    ASSERT_NE(peerPort, ourPort);
    AnswerDialogs({});
    Set("SIP", "SIP_port", std::to_string(ourPort));
    setenv("XDG_DATA_HOME", (tmp / "data").c_str(), 1);
    StartVisitRecording();
  }

  void TearDown() override {
    ShutDownSipTelephone();
    StopVisitRecording();
    dialog_driver::OnDialogOpened({});
    for (HWND dialog : dialog_driver::OpenDialogs()) EndDialog(dialog, 0);
    SetTelephone(nullptr);
    test_support::CloseProgramWindow();
  }

  void Set(const char* section, const char* key, const std::string& value) {
    WritePrivateProfileString(section, key, value.c_str(), ini_file);
  }
  // Reads the settings and sends code 10, as start-up does in the first copy.
  void StartTelephone() {
    ReadSettings();
    SendMessage(g_hwndMain, MESSAGE, kCodeStartSip, 0);
  }
  // Answers every dialog that opens: message boxes are noted (caption: text) and closed with OK; others
  // go to answer with their template number.
  void AnswerDialogs(std::function<void(HWND dialog, int resource)> answer) {
    dialog_driver::OnDialogOpened([this, answer](HWND dialog) {
      dialog_driver::DialogView view;
      if (!dialog_driver::Describe(dialog, &view)) return;
      if (view.resource == 0) {
        boxes.push_back(view.caption + ": " + dialog_driver::ControlText(dialog, 0xFFFF));
        dialog_driver::Click(dialog, IDOK);
      } else if (answer) {
        answer(dialog, view.resource);
      }
    });
  }
  static std::string Scenario(const std::string& name) {
    return test_support::ReadFile(std::string(KESTROVA_SOURCE_DIR) + "/tests/data/sip/" + name);
  }
  static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    return test_support::PumpUntilFn(done, timeoutMs);
  }
  std::string Loopback(int port) const { return "127.0.0.1:" + std::to_string(port); }

  test_support::TempFolder tmp;
  test_support::SippPeer peer;
  std::vector<std::string> boxes;  // the message boxes shown
  int ourPort = 0, peerPort = 0;
};

}  // namespace sip_test
