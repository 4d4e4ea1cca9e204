// What copies tell each other of a call, the unit's key every copy agrees on, and the two pictures a
// visit keeps out of the stream.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "visitors/call_event.h"
#include "visitors/picture_capture.h"
#include "visitors/unit_key.h"

namespace visitors {
namespace {

TEST(CallEvent, RoundTripsAndRefusesWhatNoCopyWrites) {
  const CallEvent event{CallEventKind::TurnedAway, 1'796'000'000'000, "192.168.1.250", "door"};
  EXPECT_EQ(DecodeCallEvent(EncodeCallEvent(event)), event);
  for (const std::string& bad :
       std::vector<std::string>{"", "K1 9 5\nh\ni", "K1 1 0\nh\ni", "K2 1 5\nh\ni", "K1 1 5\nno second line",
                                std::string("K1 1 5\nh\0x\ni", 12), "K1 1 5\nh\n" + std::string(300, 'i')})
    EXPECT_FALSE(DecodeCallEvent(bad)) << bad;

  // The copy watching "192.168.001.250:80" and the telephone hearing 192.168.1.250 name one unit.
  EXPECT_EQ(UnitKey(false, "192.168.001.250:80", ""), UnitKey(false, "192.168.1.250", "x"));
  EXPECT_EQ(UnitKey(false, "Door.LAN:8080", ""), "door.lan");
  EXPECT_EQ(UnitKey(true, "192.168.1.250", "2001door"), "2001door");
}

TEST(PictureCapture, KeepsTheFirstPictureFromTheStartAndOneTwoSecondsLater) {
  std::vector<std::tuple<TimeMs, int, std::string>> kept;
  PictureCapture capture([&](const std::string& unit, TimeMs start, int slot, std::string jpeg) {
    EXPECT_EQ(unit, "u");
    kept.emplace_back(start, slot, jpeg);
  });
  std::string bytes = "p1";
  capture.Complete(bytes, 1000);  // not armed: kept as the last picture only
  EXPECT_TRUE(kept.empty());
  EXPECT_EQ(capture.Last(), "p1");
  capture.Arm("u", 1000);  // the flag came with p1: it is the first picture
  for (auto [at, text] : {std::pair{1500, "p2"}, {2999, "p3"}, {3000, "p4"}, {6000, "p5"}}) {
    bytes = text;
    capture.Complete(bytes, at);
  }
  EXPECT_EQ(kept, (decltype(kept){{1000, 0, "p1"}, {1000, 1, "p4"}}));

  // Armed before any picture from its start arrived, and after the connection was lost: the next one.
  kept.clear();
  capture.Forget();
  capture.Arm("u", 7000);
  bytes = "p6";
  capture.Complete(bytes, 7100);
  EXPECT_EQ(kept, (decltype(kept){{7000, 0, "p6"}}));
}

}  // namespace
}  // namespace visitors
