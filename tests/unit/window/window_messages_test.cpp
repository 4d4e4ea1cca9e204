// The window procedure's own messages: minimum size, tray click, the private codes and what it ignores.
#include "state/sip_state.h"
#include "state/tray_record.h"
#include "tests/unit/window/main_window_fixture.h"
#include "window/sip_handlers.h"

namespace {

using window_test::Log;
using window_test::MainWindowTest;
using window_test::Received;

using WindowMessagesTest = MainWindowTest;

MINMAXINFO AskMinMax() {
  MINMAXINFO info{};
  info.ptMaxSize = {1111, 2222};
  info.ptMaxTrackSize = {3333, 4444};
  info.ptMinTrackSize = {1, 1};
  SendMessage(g_hwndMain, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info;
}

TEST_F(WindowMessagesTest, MinimumSizeHoldsTheBottomRowAndTheFrameAndNothingElse) {
  MINMAXINFO info = AskMinMax();
  EXPECT_EQ(info.ptMinTrackSize.x, 8 + 31 + 73 + 73 + 73 + 10);
  EXPECT_EQ(info.ptMinTrackSize.y, 26 + 35);
  EXPECT_EQ(info.ptMaxSize.x, 1111);
  EXPECT_EQ(info.ptMaxTrackSize.y, 4444);

  // The left edge and the hang-up look do not count; the right edge does.
  const HBITMAP wide = Skin[SKIN_POZADI].ShBitmap;
  Skin[SKIN_L].ShBitmap = wide;
  Skin[SKIN_BR_B4_UP].ShBitmap = wide;
  SkinBitmapPos(Skin, 301, 336);
  EXPECT_EQ(AskMinMax().ptMinTrackSize.x, 268);
  Skin[SKIN_R].ShBitmap = wide;
  SkinBitmapPos(Skin, 301, 336);
  EXPECT_EQ(AskMinMax().ptMinTrackSize.x, 268 - 8 + 320);
}

TEST_F(WindowMessagesTest, TrayClickTogglesTheWindowAndKeepsTheUsersChoiceForTheCurrentDoorCall) {
  for (BOOL popUp : {FALSE, TRUE})
    for (BOOL call : {FALSE, TRUE}) {
      SCOPED_TRACE(testing::Message() << "PopUp " << popUp << " call " << call);
      const bool calling = popUp && call;
      PopUp = popUp;
      ShowData.call = call;
      ShowWindow(g_hwndMain, SW_SHOW);
      ShowData.Button = 11;
      show = calling ? 1 : 0;
      Send(kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
      EXPECT_FALSE(IsWindowVisible(g_hwndMain));
      EXPECT_EQ(ShowData.Button, kNoButton);
      EXPECT_EQ(show, calling ? 0 : 1);

      hide = calling ? 0 : 1;
      Send(kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
      EXPECT_TRUE(IsWindowVisible(g_hwndMain));
      EXPECT_EQ(hide, calling ? 1 : 0);
    }
  // Only a left click toggles (a right click opens the tray menu: tests/e2e/visitors_test.cpp).
  for (LPARAM other : {LPARAM{WM_LBUTTONDBLCLK}, LPARAM{WM_LBUTTONUP}}) {
    Send(kTrayCallbackMessage, 1, other);
    EXPECT_TRUE(IsWindowVisible(g_hwndMain));
  }
}

TEST_F(WindowMessagesTest, CallStateCodesSetTheHangUpButtonAndRepaintOnlyAShownWindow) {
  const auto hangUpShown = [] {
    return ShownOfPiece(SKIN_BR_B4_UP, 36, 17) == PiecePixel(SKIN_BR_B4_UP, 36, 17);
  };
  ASSERT_NE(PiecePixel(SKIN_BR_B4_UP, 36, 17), PiecePixel(SKIN_BR_B3_UP, 36, 17));
  Send(MESSAGE, 3, 1);
  EXPECT_EQ(ShowData.lin_call, TRUE);
  EXPECT_FALSE(IsWindowVisible(g_hwndMain));
  EXPECT_FALSE(hangUpShown());

  Send(MESSAGE, 2, 0);  // the call was handed here: painted and shown
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));
  EXPECT_TRUE(hangUpShown());

  Send(MESSAGE, 9, 0);
  EXPECT_EQ(ShowData.lin_call, FALSE);
  EXPECT_FALSE(hangUpShown());
  Send(MESSAGE, 3, 7);
  EXPECT_EQ(ShowData.lin_call, TRUE);
  EXPECT_TRUE(hangUpShown());
  Send(MESSAGE, 3, 0);
  EXPECT_EQ(ShowData.lin_call, FALSE);
}

TEST_F(WindowMessagesTest, ClosingSipCopyMakesEveryOtherCopyStartItsOwnCore) {
  Send(MESSAGE, 8, static_cast<LPARAM>(g_hwndMain));
  EXPECT_EQ(Log().size(), 1u) << "the sender's own broadcast must be ignored";

  Log().clear();
  Send(MESSAGE, 8, 4242);
  ASSERT_EQ(Log().size(), 2u);
  EXPECT_EQ(Log()[1].message, MESSAGE);
  EXPECT_EQ(Log()[1].wParam, 10u);
  EXPECT_EQ(Log()[1].lParam, static_cast<LPARAM>(g_hwndMain));
}

TEST_F(WindowMessagesTest, RegistrationAnswerIsStoredByACopyWithoutCoreAndAnotherCopysQueryIsNot) {
  ASSERT_FALSE(HasSipCore());
  Send(MESSAGE, 11, 1);
  EXPECT_EQ(SIP_reg, 1);
  Send(MESSAGE, 11, 0);
  EXPECT_EQ(SIP_reg, 0);
  Send(MESSAGE, 11, 4242);  // a query arriving after the answer
  EXPECT_EQ(SIP_reg, 0);
}

TEST_F(WindowMessagesTest, UnknownCodesTagsAndMessagesChangeNothing) {
  ShowWindow(g_hwndMain, SW_SHOW);
  ShowData.Button = 12;
  ShowData.lin_call = TRUE;
  SIP_reg = 1;
  const COPYDATASTRUCT data{5, 3, "ab"};
  const Received messages[] = {{MESSAGE, 1, 0},
                               {MESSAGE, 12, 4242},
                               {MESSAGE, WPARAM(-1), 0},
                               {MESSAGE, 8 + (WPARAM{1} << 32), 4242},
                               {WM_USER, 2, 0},
                               {WM_USER + 1, 0, 0},
                               {WM_COPYDATA, 4242, reinterpret_cast<LPARAM>(&data)},
                               {WM_COPYDATA, 4242, 0},
                               {WM_TIMER, 3, 0},
                               {WM_APP + 2, 1, WM_LBUTTONDOWN}};
  for (const Received& m : messages) {
    Log().clear();
    EXPECT_EQ(Send(m.message, m.wParam, m.lParam), 0);
    EXPECT_EQ(Log().size(), 1u) << "message 0x" << std::hex << m.message << " sent something";
  }
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));
  EXPECT_EQ(ShowData.Button, 12);
  EXPECT_EQ(ShowData.lin_call, TRUE);
  EXPECT_EQ(SIP_reg, 1);
}

TEST_F(WindowMessagesTest, HideButtonPutsTheWindowAwayAndKeepsThisDoorCallFromPoppingItUp) {
  for (BOOL call : {FALSE, TRUE}) {
    PopUp = TRUE;
    ShowData.call = call;
    show = 1;
    ShowWindow(g_hwndMain, SW_RESTORE);
    MoveTo(298, 10);
    ASSERT_EQ(ShowData.Button, 16);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(298, 10));
    // The offscreen desktop has no notification area: the window goes to the task bar.
    EXPECT_TRUE(IsIconic(g_hwndMain));
    EXPECT_EQ(ShowData.Button, kNoButton);
    EXPECT_EQ(show, call ? 0 : 1);
  }
}

}  // namespace
