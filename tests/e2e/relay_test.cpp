// The real program's relay buttons under the pointer: each click switches its relay of the simulated
// unit, and a press released over the other button switches the other one; what the unit made of a
// press shows as a banner; a picture that stops coming is dimmed.
#include <gtest/gtest.h>

#include <regex>

#include "tests/e2e/program_on_x.h"
#include "tests/support/http_client.h"
#include "tests/support/poll.h"
#include "visitors/door_answer.h"
#include "visitors/visitor_log.h"

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

  std::string Control(const std::string& target) {
    const auto port = static_cast<uint16_t>(std::stoi(address.substr(address.find(':') + 1)));
    const auto reply = test_support::HttpGet(port, target);
    return reply ? reply->body : "";
  }

  // Pixels of the colour `is` in the middle of the band over the bottom of the video area (above the
  // buttons' 35 rows), where the simulated picture has no text of its own.
  template <typename Colour>
  int BandPixels(const e2e::Geometry& g, Colour is) {
    const auto shot = Shot();
    int n = 0;
    for (int py = g.h - 35 - 20; shot && py < g.h - 35 - 2; ++py)
      for (int px = g.w / 3; px < 2 * g.w / 3; ++px) n += is(shot->at(g.x + px, g.y + py));
    return n;
  }
};

int R(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int G(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int B(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
// The banners' colours; a picture under the band is too dark to pass for any of them.
bool Green(std::uint32_t c) { return G(c) > 200 && R(c) < 150 && B(c) < 150; }
bool Red(std::uint32_t c) { return R(c) > 220 && G(c) < 130 && B(c) < 110; }
bool Amber(std::uint32_t c) { return R(c) > 220 && G(c) > 140 && G(c) < 210 && B(c) < 60; }
bool Yellow(std::uint32_t c) { return R(c) > 200 && G(c) > 200 && B(c) < 90; }

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

TEST_F(KestrovaRelays, BannersSayWhatTheUnitMadeOfAPressAndAPictureThatStoppedIsDimmedAndCounted) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(StartUnit());
  ASSERT_NO_FATAL_FAILURE(WriteSettings("[Window 0]\r\nIP_addr=" + address + "\r\n"));
  // The production bounds: the reader's 10 s without a byte must outlast the stall's 2 s.
  ASSERT_NO_FATAL_FAILURE(StartProgram({{"KESTROVA_BOUND_SCALE", "1"}}));
  ASSERT_TRUE(PollUntil([&] { return Mapped() && Where().w > 0; }, 15s));
  const e2e::Geometry g = Where();
  const int relay1X = g.x + g.w - 89 + 36, y = g.y + g.h - 35 + 17;
  // The video runs: no notice, and the picture moves.
  std::optional<std::uint64_t> last;
  auto live = [&] {
    const auto shot = Shot();
    if (!shot) return false;
    const std::optional<std::uint64_t> before = std::exchange(last, e2e::VideoArea(*shot, g));
    return e2e::NoticePixels(*shot, g) == 0 && before && *before != *last;
  };
  ASSERT_TRUE(PollUntil(live, 15s)) << "no video";
  auto buttons = [&] {
    const auto shot = Shot();
    std::uint64_t h = 0;
    for (int py = g.h - 30; shot && py < g.h; ++py)
      for (int px = 0; px < g.w; ++px) h = h * 1099511628211ULL + shot->at(g.x + px, g.y + py);
    return h;
  };
  auto pressRelay1 = [&] {
    PointerTo(relay1X, y);
    Xdo({"click", "1"});
    PointerTo(g.x + g.w / 2, g.y + g.h / 2);
  };
  // The door answer the visitor log keeps for the visit on now (the flag is up).
  auto answer = [&] {
    std::string why;
    auto log = visitors::VisitorLog::Open(tmp / "data/Kestrova", &why);
    const auto rows = log ? log->Newest(0, 1) : std::vector<visitors::VisitRow>{};
    return rows.empty() ? visitors::DoorAnswerParts{} : visitors::DoorAnswerOf(rows[0].visit.doorAnswer);
  };
  ASSERT_EQ(Control("/sim/flag?value=1"), "ok\n");

  // A unit that stops sending: the picture stays, dimmed, with a count that goes up; the next picture
  // clears it.
  // Over a dimmed picture (its sky no longer bright), the yellow pixels of the count and where they are.
  auto stalledCount = [&](std::uint64_t* print) {
    const auto shot = Shot();
    int bright = 0, yellow = 0;
    std::uint64_t h = 0;
    for (int py = 50; shot && py < 90; ++py)
      for (int px = 20; px < g.w - 20; ++px) bright += B(shot->at(g.x + px, g.y + py)) > 140;
    for (int py = g.h / 2 - 30; shot && bright == 0 && py < g.h / 2 + 30; ++py)
      for (int px = 20; px < g.w - 20; ++px)
        if (Yellow(shot->at(g.x + px, g.y + py))) ++yellow, h = h * 1099511628211ULL + py * g.w + px;
    if (print != nullptr) *print = h;
    return shot && bright == 0 ? yellow : -1;
  };
  ASSERT_EQ(stalledCount(nullptr), -1);
  ASSERT_EQ(Control("/sim/fault?mode=stall"), "ok\n");
  std::uint64_t first = 0, later = 0;
  ASSERT_TRUE(PollUntil([&] { return stalledCount(&first) > 20; }, 8s)) << "no count over a dimmed picture";
  EXPECT_TRUE(PollUntil([&] { return stalledCount(&later) > 20 && later != first; }, 4s))
      << "the count stood";
  ASSERT_EQ(Control("/sim/fault?mode=none"), "ok\n");
  EXPECT_TRUE(PollUntil([&] { return stalledCount(nullptr) == -1; }, 5s)) << "the next picture stayed dimmed";

  // No answer: after the relay's 10 s, in amber, over whatever the area shows then; and recorded.
  ASSERT_EQ(Control("/sim/fault?mode=stall"), "ok\n");
  pressRelay1();
  EXPECT_TRUE(PollUntil([&] { return BandPixels(g, Amber) > 20; }, 20s)) << "no amber banner";
  EXPECT_TRUE(PollUntil([&] { return answer().kind == visitors::DoorAnswerKind::NoAnswer; }, 5s));
  ASSERT_EQ(Control("/sim/fault?mode=none"), "ok\n");

  // 404: the next press takes the amber banner away and says the unit refused, in red.
  ASSERT_TRUE(PollUntil(live, 20s)) << "the video did not come back";
  ASSERT_EQ(Control("/sim/fault?mode=errorpage&status=404"), "ok\n");
  pressRelay1();
  EXPECT_TRUE(PollUntil([&] { return BandPixels(g, Red) > 20 && BandPixels(g, Amber) == 0; }, 10s));
  EXPECT_TRUE(PollUntil([&] { return answer().status == 404; }, 5s));
  ASSERT_EQ(Control("/sim/fault?mode=none"), "ok\n");

  // 200: "Door opened" in green, over the picture and never over the buttons; gone after its 3 s.
  PointerTo(g.x + g.w / 2, g.y + g.h / 2);  // off the buttons: their hovered look would change them
  const std::uint64_t buttonsBefore = buttons();
  pressRelay1();
  EXPECT_TRUE(PollUntil([&] { return BandPixels(g, Green) > 20 && buttons() == buttonsBefore; }, 10s))
      << "no green banner, or the buttons changed";
  EXPECT_TRUE(PollUntil([&] { return answer().kind == visitors::DoorAnswerKind::Opened; }, 5s));
  EXPECT_TRUE(PollUntil([&] { return BandPixels(g, Green) == 0; }, 10s)) << "the banner stayed";
  EXPECT_EQ(Switched(1), 1) << "a press was sent again";

  PointerTo(e2e::CloseButtonX(g), e2e::TitleBarY(g));
  Xdo({"click", "1"});
  ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
}

}  // namespace
