// The real program watching the door simulator program: title, call lamp, the live picture, losing and
// finding the unit.
#include <gtest/gtest.h>

#include <csignal>

#include "platform/gui/drawing.h"
#include "platform/gui/surface_access.h"
#include "platform/http/http_stream.h"
#include "tests/e2e/program_on_x.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using e2e::NoticePixels;
using e2e::VideoArea;
using test_support::PollUntil;
using test_support::Screenshot;

constexpr int kHeight = 301;
// The window opens at the settings' default place.
constexpr e2e::Geometry kAtStart{0, 0, 336, kHeight};

HBITMAP Piece(const char* name) {
  return LoadImageFromFile((std::string(KESTROVA_SOURCE_DIR "/resources/skin/") + name + ".bmp").c_str());
}

class VideoOnX : public e2e::ProgramOnX {
 protected:
  void SetUp() override {
    ProgramOnX::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartDisplay(true));
  }

  void StopUnit() {
    ASSERT_TRUE(unit.Signal(SIGTERM));
    ASSERT_TRUE(unit.Wait(10s).has_value());
  }

  bool Control(const std::string& pathAndQuery) {
    return HttpRequestOnce("test", ("http://" + address + pathAndQuery).c_str(), 5000);
  }

  void StartWatching() {
    ASSERT_NO_FATAL_FAILURE(WriteSettings("[Window 0]\r\nIP_addr=" + address + "\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
  }
};

TEST_F(VideoOnX, TitleLampLivePictureAndReconnect) {
  ASSERT_NO_FATAL_FAILURE(StartUnit());
  ASSERT_NO_FATAL_FAILURE(StartWatching());
  ASSERT_TRUE(PollUntil([&] { return WindowNamed("Front door"); }, 20s))
      << "the window text is not the unit's title";

  // The lamp sits at the left of the bottom edge.
  HBITMAP on = Piece("bl_on");
  HBITMAP off = Piece("bl_off");
  BITMAP bm{};
  ASSERT_TRUE(GetObject(on, sizeof bm, &bm));
  const int lampX = 15, lampY = kHeight - bm.bmHeight + 17;
  ASSERT_EQ(GetBitmapPixel(on, 15, 17), 0xFFD476u);   // (255, 212, 118)
  ASSERT_EQ(GetBitmapPixel(off, 15, 17), 0x423318u);  // (66, 51, 24)
  std::optional<Screenshot> shot;
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && shot->at(lampX, lampY) == 0x423318u; }, 10s));
  ASSERT_TRUE(Control("/sim/flag?value=1"));
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && shot->at(lampX, lampY) == 0xFFD476u; }, 10s))
      << "the lamp does not light on a call";
  ASSERT_TRUE(Control("/sim/flag?value=0"));
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && shot->at(lampX, lampY) == 0x423318u; }, 10s));

  // The live picture replaces the background and moves.
  ASSERT_TRUE(PollUntil([&] { return (shot = Shot()) && NoticePixels(*shot, kAtStart) < 20; }, 10s))
      << "no picture drawn";
  const std::uint64_t first = VideoArea(*shot, kAtStart);
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && VideoArea(*shot, kAtStart) != first; }, 10s))
      << "the picture does not change";

  // Losing the unit brings the connecting notice; the unit back brings the picture back.
  StopUnit();
  EXPECT_TRUE(PollUntil([&] { return WindowNamed("Kestrova_1.39"); }, 20s));
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && NoticePixels(*shot, kAtStart) > 100; }, 10s))
      << "no connecting notice";
  ASSERT_NO_FATAL_FAILURE(StartUnit(address));
  EXPECT_TRUE(PollUntil([&] { return WindowNamed("Front door"); }, 20s));
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && NoticePixels(*shot, kAtStart) < 20; }, 10s))
      << "the picture is not back";

  ASSERT_TRUE(program.Signal(SIGTERM));
  ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
  EXPECT_FALSE(PictureFileLeft()) << "the reader did not delete its picture file on the way out";
}

}  // namespace
