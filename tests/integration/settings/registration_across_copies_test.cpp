// The settings dialog in a copy without the telephone, beside the real program holding it at sipp on one
// instance bus: the registration state shown is the telephone copy's answer to code 11, and OK's code 7
// makes that copy register the account just typed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <functional>

#include "app/notify_icon.h"
#include "platform/gui/dialog_driver.h"
#include "platform/gui/instance_bus.h"
#include "platform/gui/tray.h"
#include "settings/settings_controls.h"
#include "state/private_codes.h"
#include "state/sip_role.h"
#include "state/sip_state.h"
#include "state/telephone_hooks.h"
#include "state/tray_record.h"
#include "tests/support/child_process.h"
#include "tests/support/free_port.h"
#include "tests/support/gui/program_window.h"
#include "tests/support/sipp_peer.h"
#include "window/button_actions.h"
#include "window/telephone_tip.h"
#include "window/window_proc.h"

namespace {

namespace drive = dialog_driver;
using namespace std::chrono_literals;

class RegistrationAcrossCopies : public ::testing::Test {
 protected:
  void TearDown() override {
    drive::OnDialogOpened({});
    // Off the bus first: the closing copy's hand-over (code 8) must not wait for us.
    StopInstanceBus();
    if (telephoneCopy.Running()) {
      telephoneCopy.Signal(SIGTERM);
      const auto exit = telephoneCopy.Wait(20s);
      EXPECT_TRUE(exit && exit->ExitedWith(0)) << (exit ? exit->Describe() : "still running");
    }
    test_support::CloseProgramWindow();
  }

  // sipp runs `scenario` as the registrar; the real program, the first copy, holds the telephone with
  // the account; this process opens its window beside it, on the same bus, with no telephone.
  void StartCopies(const std::string& scenario, int registrations) {
    const int sipPort = test_support::FreeUdpPort();
    ASSERT_NE(sipPort, 0);
    ASSERT_TRUE(peer.Start(scenario, 0, {}, registrations));
    mkdir((tmp / "Kestrova").c_str(), 0700);
    ASSERT_TRUE(test_support::WriteFile(
        tmp / "Kestrova/Kestrova.ini",
        "[Window 0]\nIP_addr=127.0.0.1:9\n[SIP]\nSIP_port=" + std::to_string(sipPort) +
            "\nUseSIP=1\nSIP_addr=127.0.0.1:" + std::to_string(peer.Port()) +
            "\nSIP_id=alice\nSIP_pass=secret\nSIP_reg_duration=300\n"));
    ASSERT_TRUE(telephoneCopy.Start(KESTROVA_BINARY, {},
                                    {.set = {{"QT_QPA_PLATFORM", "offscreen"},
                                             {"ALLUSERSPROFILE", tmp.path()},
                                             {"XDG_RUNTIME_DIR", tmp.path()}},
                                     .unset = {}}))
        << telephoneCopy.LastError();

    test_support::RegisterProgramClass(WindowProcMain, kClassName);
    ASSERT_NE(test_support::OpenProgramWindow(tmp, kClassName), HWND_NONE);
    ReadSettings();
    ASSERT_EQ(Telephone(), nullptr) << "this copy must leave the telephone to the program";
    ASSERT_TRUE(StartInstanceBus());
    // As at start: the tip asks whoever holds the telephone (code 15).
    ASSERT_TRUE(AddNotifyIcon());
    AskForTelephoneLine();
  }
  bool TipSays(const std::string& line) {
    return PumpUntil([&] { return NotifyIconTip(kTrayIconId).find("\n" + line) != std::string::npos; });
  }

  // Code 11 as the dialog sends it; 7 until the telephone's copy answers.
  BOOL AskRegistration() {
    SIP_reg = 7;
    SendMessage(HWND_BROADCAST, MESSAGE, kCodeRegistration, static_cast<LPARAM>(g_hwndMain));
    return SIP_reg;
  }
  static bool PumpUntil(const std::function<bool()>& done) { return test_support::PumpUntilFn(done, 20000); }
  bool SippDone() { return peer.Wait(0ms).has_value(); }

  // A press on the gear; `user` acts in the dialog and ends it. What the label showed on opening is
  // returned; SIP_reg is first set to `stale`, the opposite of the answer expected, so that the label
  // can only show the answer if one came.
  std::string UseDialog(BOOL stale, const std::function<void(HWND)>& user) {
    std::string shown = "(no dialog)";
    drive::OnDialogOpened([&](HWND dialog) {
      if (drive::FindDialog(104) != dialog || shown != "(no dialog)") return;
      shown = drive::ControlText(dialog, kLabelRegistration);
      user(dialog);
    });
    SIP_reg = stale;
    MyLButtonUp(SKIN_TR_S);
    drive::OnDialogOpened({});
    // This copy watches no unit here: its reader stays stopped.
    KillTimer(g_hwndMain, kReaderTimer);
    return shown;
  }

  test_support::TempFolder tmp;
  test_support::SippPeer peer;
  test_support::ChildProcess telephoneCopy;
};

std::string Scenario(const std::string& name) {
  return test_support::ReadFile(std::string(KESTROVA_SOURCE_DIR) + "/tests/data/sip/" + name);
}

TEST_F(RegistrationAcrossCopies, TheDialogShowsTheTelephonesStateAndOkReRegistersItWithTheTypedAccount) {
  ASSERT_NO_FATAL_FAILURE(
      StartCopies(test_support::FillIn(Scenario("registrar_reload.xml"), {{"USER1", "alice"},
                                                                          {"PASSWORD1", "secret"},
                                                                          {"USER2", "bob"},
                                                                          {"PASSWORD2", "other"},
                                                                          {"EXPIRES", "300"}}),
                  2));
  ASSERT_TRUE(PumpUntil([&] { return AskRegistration() == TRUE; })) << peer.Log();

  EXPECT_EQ(UseDialog(FALSE,
                      [](HWND dialog) {
                        SetDlgItemTextA(dialog, kFieldIdentity, "");
                        SetDlgItemTextA(dialog, kFieldPassword, "");
                        drive::Type(dialog, kFieldIdentity, "bob");
                        drive::Type(dialog, kFieldPassword, "other");
                        drive::Press(dialog, drive::Key::Enter);
                      }),
            "Registration successful");
  // sipp saw alice unregistered with her own credentials, then bob registered with his.
  EXPECT_TRUE(PumpUntil([&] { return SippDone(); })) << peer.Log();
  EXPECT_EQ(peer.Wait(0ms), std::optional<int>(0)) << peer.Log();
  // sipp ends as it sends the 200; the telephone takes it a moment later.
  EXPECT_TRUE(PumpUntil([&] { return AskRegistration() == TRUE; }));
  EXPECT_TRUE(TipSays("Telephone: registered at 127.0.0.1:" + std::to_string(peer.Port())))
      << NotifyIconTip(kTrayIconId);

  EXPECT_FALSE(HoldsSipRole());
  EXPECT_TRUE(telephoneCopy.Running());
}

TEST_F(RegistrationAcrossCopies, ARegistrarThatRefusesTheAccountShowsAsFailed) {
  ASSERT_NO_FATAL_FAILURE(StartCopies(Scenario("registrar_forbids.xml"), 1));
  ASSERT_TRUE(PumpUntil([&] { return SippDone(); })) << peer.Log();
  ASSERT_EQ(peer.Wait(0ms), std::optional<int>(0)) << "no REGISTER was refused: " << peer.Log();
  ASSERT_TRUE(PumpUntil([&] { return AskRegistration() == FALSE; }));
  EXPECT_TRUE(TipSays("Telephone: not registered (Forbidden)")) << NotifyIconTip(kTrayIconId);

  EXPECT_EQ(UseDialog(TRUE, [](HWND dialog) { drive::Press(dialog, drive::Key::Escape); }),
            "Registration failed");
  EXPECT_FALSE(HoldsSipRole());
  EXPECT_TRUE(telephoneCopy.Running());
}

}  // namespace
