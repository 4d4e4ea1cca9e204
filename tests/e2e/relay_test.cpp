// The real program's relay buttons under the pointer: each click switches its relay of the simulated
// unit, and a press released over the other button switches the other one.
#include <gtest/gtest.h>

#include <regex>

#include "tests/e2e/program_on_x.h"
#include "tests/support/http_client.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using test_support::PollUntil;

class KestrovaRelays : public e2e::ProgramOnX {
 protected:
  // The unit's count of switches of relay 1 or 2; -1 when it cannot be asked.
  int Switched(int relay) {
    const auto port = static_cast<uint16_t>(std::stoi(address.substr(address.find(':') + 1)));
    const auto reply = test_support::HttpGet(port, "/sim/relays");
    std::smatch m;
    const std::regex count("\"relay" + std::to_string(relay) + "\"\\s*:\\s*(\\d+)");
    if (!reply || !std::regex_search(reply->body, m, count)) return -1;
    return std::stoi(m[1]);
  }

  bool SwitchedAre(int relay1, int relay2) { return Switched(1) == relay1 && Switched(2) == relay2; }
};

TEST_F(KestrovaRelays, ClicksSwitchTheirRelayAndTheButtonUnderTheReleaseDecides) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(StartUnit());
  ASSERT_NO_FATAL_FAILURE(WriteSettings("[Window 0]\r\nIP_addr=" + address + "\r\n"));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(PollUntil([&] { return Mapped() && Where().w > 0; }, 15s));
  const e2e::Geometry g = Where();
  // The relay buttons' slots end 16 columns (the corner) from the right edge, 73 columns each, 35 rows
  // high; (36, 17) is well inside either.
  const int relay1X = g.x + g.w - 89 + 36, relay2X = g.x + g.w - 162 + 36, y = g.y + g.h - 35 + 17;
  ASSERT_TRUE(SwitchedAre(0, 0));

  PointerTo(relay1X, y);
  Xdo({"click", "1"});
  EXPECT_TRUE(PollUntil([&] { return SwitchedAre(1, 0); }, 15s)) << "relay 1 was not switched once";
  PointerTo(relay2X, y);
  Xdo({"click", "1"});
  EXPECT_TRUE(PollUntil([&] { return SwitchedAre(1, 1); }, 15s)) << "relay 2 was not switched once";

  // Pressed over relay 1, released over relay 2: relay 2 is switched.
  PointerTo(relay1X, y);
  Xdo({"mousedown", "1"});
  PointerTo(relay2X + 1, y);
  PointerTo(relay2X, y);
  Xdo({"mouseup", "1"});
  EXPECT_TRUE(PollUntil([&] { return SwitchedAre(1, 2); }, 15s))
      << "relay 1: " << Switched(1) << ", relay 2: " << Switched(2);

  PointerTo(e2e::CloseButtonX(g), e2e::TitleBarY(g));
  Xdo({"click", "1"});
  ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
}

}  // namespace
