// Registration at a server that wants digest credentials: identity, expiry, the Authentication dialog
// after wrong credentials, the realm in the settings file, code 11's answer, one box for refusals in a row.
#include "platform/core/profile.h"
#include "platform/gui/gui_thread.h"
#include "state/display_record.h"
#include "state/sip_state.h"
#include "tests/integration/sip/telephone_fixture.h"

namespace sip_test {
namespace {

class RegistrationTest : public TelephoneTest {
 protected:
  void StartRegistrar() {
    ASSERT_TRUE(peer.Start(
        test_support::FillIn(
            Scenario("registrar.xml"),
            {{"USER", "alice"}, {"PASSWORD", "secret"}, {"HOST", "127.0.0.1"}, {"EXPIRES", "120"}}),
        peerPort));
    Set("SIP", "UseSIP", "1");
    Set("SIP", "SIP_addr", Loopback(peerPort));
    Set("SIP", "SIP_id", "alice");
    Set("SIP", "SIP_pass", "wrong");
    Set("SIP", "SIP_reg_duration", "120");
  }

  // Code 11 as the settings dialog sends it; the answer to our own query lands in SIP_reg.
  BOOL AskRegistration() {
    SIP_reg = 7;
    SendMessage(g_hwndMain, MESSAGE, kCodeRegistration, static_cast<LPARAM>(g_hwndMain));
    return SIP_reg;
  }
};

TEST_F(RegistrationTest, WrongPasswordAsksForCredentialsAndTheirOkRegisters) {
  StartRegistrar();
  std::map<int, std::string> shown;
  AnswerDialogs([&](HWND dialog, int resource) {
    if (resource != 118) return;
    shown[119] = dialog_driver::ControlText(dialog, 119);
    shown[120] = dialog_driver::ControlText(dialog, 120);
    SetDlgItemTextA(dialog, 120, "secret");
    dialog_driver::Click(dialog, IDOK);
  });
  StartTelephone();
  ASSERT_NE(the_core, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return !shown.empty(); })) << peer.Log();
  EXPECT_EQ(shown[119], "alice");
  EXPECT_EQ(shown[120], "wrong");
  // The sipp scenario checked identity, expiry and the digest; it ends when it registered us.
  EXPECT_TRUE(PumpUntil([&] { return peer.Wait(std::chrono::milliseconds(0)).has_value(); }));
  EXPECT_EQ(peer.Wait(std::chrono::milliseconds(0)), std::optional<int>(0)) << peer.Log();
  EXPECT_TRUE(PumpUntil([&] { return AskRegistration() == TRUE; }));

  char realm[64];
  GetPrivateProfileString("SIP", "SIP_realm", "", realm, sizeof realm, ini_file);
  EXPECT_STREQ(realm, "kestrova.test");
  EXPECT_STREQ(SIP_realm, "kestrova.test");
  EXPECT_TRUE(boxes.empty()) << boxes.front();
}

TEST_F(RegistrationTest, CancelLeavesTheCopyUnregistered) {
  StartRegistrar();
  int asked = 0;
  AnswerDialogs([&](HWND dialog, int resource) {
    if (resource != 118) return;
    ++asked;
    dialog_driver::Click(dialog, IDCANCEL);
  });
  StartTelephone();
  ASSERT_TRUE(PumpUntil([&] { return asked > 0; })) << peer.Log();
  EXPECT_FALSE(PumpUntil([&] { return AskRegistration() == TRUE; }, 1500));
  EXPECT_EQ(AskRegistration(), FALSE);
  EXPECT_FALSE(peer.Wait(std::chrono::milliseconds(0)).has_value()) << "registered after Cancel";
}

TEST_F(RegistrationTest, RefusalsInARowShowOneErrorBoxWithTheLatestReasonAndItsClosingClearsCallMarks) {
  ASSERT_TRUE(peer.Start(test_support::FillIn(Scenario("registrar_refuses.xml"), {{"USER2", "bob"}}),
                         peerPort, {}, 2));
  Set("SIP", "UseSIP", "1");
  Set("SIP", "SIP_addr", Loopback(peerPort));
  // While the first refusal's box is open, the settings are saved again and the server refuses again.
  int opened = 0;
  std::string shown;
  dialog_driver::OnDialogOpened([&](HWND box) {
    if (++opened > 1) {
      dialog_driver::Click(box, IDOK);
      return;
    }
    QueueOnGuiThread([&, box] {
      Set("SIP", "SIP_id", "bob");
      ShowData.lin_call = TRUE;
      SendMessage(g_hwndMain, MESSAGE, kCodeSettingsChanged, 0);
      PumpUntil([&] { return (shown = dialog_driver::ControlText(box, kMessageBoxTextId)) == "Forbidden"; });
      EXPECT_EQ(ShowData.lin_call, TRUE) << "call marks are cleared when the box closes";
      dialog_driver::Click(box, IDOK);
    });
  });
  StartTelephone();
  ASSERT_TRUE(PumpUntil([&] { return opened > 0 && ShowData.lin_call == FALSE; })) << peer.Log();
  EXPECT_EQ(shown, "Forbidden");
  EXPECT_EQ(opened, 1) << "a second box opened";
}

}  // namespace
}  // namespace sip_test

namespace sip_test {
namespace {

TEST_F(RegistrationTest, ReloadUnregistersTheOldAccountWithItsCredentialsBeforeTheNewOneRegisters) {
  ASSERT_TRUE(peer.Start(test_support::FillIn(Scenario("registrar_reload.xml"), {{"USER1", "alice"},
                                                                                 {"PASSWORD1", "secret"},
                                                                                 {"USER2", "bob"},
                                                                                 {"PASSWORD2", "other"},
                                                                                 {"EXPIRES", "300"}}),
                         peerPort, {}, 2));
  Set("SIP", "UseSIP", "1");
  Set("SIP", "SIP_addr", Loopback(peerPort));
  Set("SIP", "SIP_id", "alice");
  Set("SIP", "SIP_pass", "secret");
  Set("SIP", "SIP_reg_duration", "300");
  int asked = 0;
  AnswerDialogs([&](HWND, int resource) { asked += resource == 118; });
  StartTelephone();
  ASSERT_TRUE(PumpUntil([&] { return AskRegistration() == TRUE; })) << peer.Log();

  // The settings dialog saved another account.
  Set("SIP", "SIP_id", "bob");
  Set("SIP", "SIP_pass", "other");
  SendMessage(g_hwndMain, MESSAGE, kCodeSettingsChanged, static_cast<LPARAM>(g_hwndMain));
  EXPECT_TRUE(PumpUntil([&] { return peer.Wait(std::chrono::milliseconds(0)).has_value(); })) << peer.Log();
  EXPECT_EQ(peer.Wait(std::chrono::milliseconds(0)), std::optional<int>(0)) << peer.Log();
  EXPECT_TRUE(PumpUntil([&] { return AskRegistration() == TRUE; }));
  EXPECT_EQ(asked, 0) << "the library asked for credentials it had";

  // Without the server, an empty identity becomes the default one and the registration goes.
  Set("SIP", "SIP_id", "");
  Set("SIP", "UseSIP", "0");
  SendMessage(g_hwndMain, MESSAGE, kCodeSettingsChanged, static_cast<LPARAM>(g_hwndMain));
  EXPECT_STREQ(SIP_id, "Kestrova");
  EXPECT_EQ(AskRegistration(), 7) << "without a configuration code 11 leaves SIP_reg as it was";
}

}  // namespace
}  // namespace sip_test
