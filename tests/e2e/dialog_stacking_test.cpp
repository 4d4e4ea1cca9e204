// A door call's Accept dialog above a main window that repaints without video, bare and under openbox.
#include <gtest/gtest.h>

#include "tests/e2e/program_on_x.h"
#include "tests/support/free_port.h"
#include "tests/support/http_client.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using test_support::PollUntil;

class DialogsOnX : public e2e::ProgramOnX {
 protected:
  std::string Sim(const std::string& target) {
    auto reply = test_support::HttpGet(std::stoi(address.substr(10)), target);
    return reply ? reply->body : "";
  }
  // The call's dialog, named after the unit's SIP user, while it is in sight.
  std::string Door() {
    const std::string ids = x.Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^door$"}).output;
    return ids.substr(0, ids.find('\n'));
  }
  // In sight and above the window, if that is: xwininfo lists windows from the top, a window manager's
  // frame just before the window in it.
  bool ShownAbove(const std::string& dialog) {
    const std::string tree = x.Run("/usr/bin/xwininfo", {"-root", "-tree", "-int"}).output;
    return Door() == dialog && (tree.find(" " + dialog + " ") < tree.find(" " + window + " ") || !Mapped());
  }
};

TEST_F(DialogsOnX, AcceptRingsAboveTheRepaintingWindowWithAndWithoutManagerAndOutlivesItsMinimising) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));  // no notification area: hiding minimises
  ASSERT_NO_FATAL_FAILURE(StartUnit());
  ASSERT_EQ(Sim("/sim/fault?mode=refuse"), "ok\n");  // no video: every paint sizes the window anew
  const std::string sip = "127.0.0.1:" + std::to_string(test_support::FreeUdpPort());
  WriteSettings("[Window 0]\r\nIP_addr=" + address + "\r\n[SIP]\r\nSIP_port=" + sip.substr(10) + "\r\n");
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  // Call 1 rings on the bare display, openbox takes over for the others; call 2's dialog is minimised,
  // call 3's window is minimised away while it rings, call 4 rings at the minimised window. A call made
  // before the telephone listens reaches it with the INVITE's next retransmission.
  for (int call = 1; call <= 4; ++call) {
    ASSERT_NO_FATAL_FAILURE(call == 2 ? StartWindowManager() : void());
    ASSERT_EQ(Sim("/sim/sipcall?to=sip:" + sip), "ok\n");
    std::string accept;
    ASSERT_TRUE(PollUntil([&] { return !(accept = Door()).empty(); }, 20s)) << "no Accept dialog";
    const e2e::Geometry w = Where();
    if (call == 3)
      Xdo({"mousemove", std::to_string(HideButtonX(w)), std::to_string(TitleBarY(w)), "click", "1"});
    ASSERT_TRUE(PollUntil([&] { return call != 3 || !Mapped(); }, 10s)) << "not minimised";
    if (call == 2) {  // openbox's minimise box takes the main window along: the dialog alone comes back
      Xdo({"windowminimize", accept});
      ASSERT_TRUE(PollUntil([&] { return !Mapped(); }, 10s));
      EXPECT_TRUE(PollUntil([&] { return ShownAbove(accept); }, 1s)) << "the minimised dialog stayed away";
      Xdo({"windowactivate", window});  // as from the task bar; the dialog goes on ringing above it
      ASSERT_TRUE(PollUntil([&] { return Mapped(); }, 10s));
    }
    // Three seconds of ringing, looked at all along; then OK, at 30 x 32 of the dialog's 120 x 45 units.
    EXPECT_FALSE(PollUntil([&] { return !ShownAbove(accept); }, 3s))
        << "call " << call << ": covered or gone";
    const auto g = x.Geometry(accept).value_or(std::vector<int>{0, 0, 0, 0});
    Xdo({"mousemove", "--window", accept, std::to_string(g[2] / 4), std::to_string(g[3] * 32 / 45), "click",
         "1"});
    const std::string connected = "\"connected\":" + std::to_string(call);
    EXPECT_TRUE(PollUntil([&] { return Sim("/sim/sipstate").find(connected) != std::string::npos; }, 10s));
    ASSERT_EQ(Sim("/sim/siphangup"), "ok\n");
    ASSERT_TRUE(PollUntil([&] { return Door().empty(); }, 10s));
  }
}

}  // namespace
