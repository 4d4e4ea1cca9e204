// The real program watching the door simulator program: title, call lamp, the live picture, losing and
// finding the unit.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "platform/gui/drawing.h"
#include "platform/gui/surface_access.h"
#include "platform/http/http_stream.h"
#include "tests/support/child_process.h"
#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;
using test_support::PollUntil;
using test_support::Screenshot;
using test_support::TempFolder;
using test_support::XSession;

constexpr int kHeight = 301;

HBITMAP Piece(const char* name) {
  return LoadImageFromFile((std::string(KESTROVA_SOURCE_DIR "/resources/skin/") + name + ".bmp").c_str());
}

bool IsNoticeYellow(std::uint32_t c) {
  return ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) < 90;
}

int NoticePixels(const Screenshot& shot) {
  int yellow = 0;
  for (int py = 30; py < 46; ++py)
    for (int px = 20; px < 200; ++px) yellow += IsNoticeYellow(shot.at(px, py));
  return yellow;
}

// A fingerprint of the video area (inside the frame, below the notice's rows).
std::uint64_t VideoArea(const Screenshot& shot) {
  std::uint64_t h = 0;
  for (int py = 60; py < 250; py += 2)
    for (int px = 20; px < 310; px += 2) h = h * 1099511628211ULL + shot.at(px, py);
  return h;
}

class VideoOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    mkdir((tmp / "run").c_str(), 0700);
    mkdir((tmp / "cfg").c_str(), 0700);
    mkdir((tmp / "cfg/Kestrova").c_str(), 0700);
    ASSERT_TRUE(x.Start(true)) << "Xvfb did not start";
  }

  void StartUnit(const std::string& listen) {
    ASSERT_TRUE(unit.Start(DOORSIM_BINARY, {"--listen", listen, "--size", "320x240", "--fps", "10"}))
        << unit.LastError();
    auto line = unit.ReadLine(10s);
    ASSERT_TRUE(line.has_value()) << "the simulator gave no address";
    address = *line;
  }

  void StopUnit() {
    ASSERT_TRUE(unit.Signal(SIGTERM));
    ASSERT_TRUE(unit.Wait(10s).has_value());
  }

  bool Control(const std::string& pathAndQuery) {
    return HttpRequestOnce("test", ("http://" + address + pathAndQuery).c_str(), 5000);
  }

  void StartProgram() {
    ASSERT_TRUE(test_support::WriteFile(tmp / "cfg/Kestrova/Kestrova.ini",
                                        "[Window 0]\r\nIP_addr=" + address + "\r\n"));
    ASSERT_TRUE(program.Start(KESTROVA_BINARY, {},
                              x.Environment({{"ALLUSERSPROFILE", tmp / "cfg"},
                                             {"XDG_RUNTIME_DIR", tmp / "run"},
                                             {"no_proxy", "127.0.0.1,localhost"}})))
        << program.LastError();
  }

  bool WindowNamed(const std::string& name) { return !x.FindWindows("KestrovaClass", name).empty(); }

  std::optional<Screenshot> Shot() { return x.Shoot(tmp.path()); }

  TempFolder tmp;
  XSession x;
  ChildProcess unit;
  ChildProcess program;
  std::string address;
};

TEST_F(VideoOnX, TitleLampLivePictureAndReconnect) {
  StartUnit("127.0.0.1:0");
  StartProgram();
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
  ASSERT_TRUE(PollUntil([&] { return (shot = Shot()) && NoticePixels(*shot) < 20; }, 10s))
      << "no picture drawn";
  const std::uint64_t first = VideoArea(*shot);
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && VideoArea(*shot) != first; }, 10s))
      << "the picture does not change";

  // Losing the unit brings the connecting notice; the unit back brings the picture back.
  StopUnit();
  EXPECT_TRUE(PollUntil([&] { return WindowNamed("Kestrova_1.39"); }, 20s));
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && NoticePixels(*shot) > 100; }, 10s))
      << "no connecting notice";
  StartUnit(address);
  EXPECT_TRUE(PollUntil([&] { return WindowNamed("Front door"); }, 20s));
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && NoticePixels(*shot) < 20; }, 10s))
      << "the picture is not back";

  ASSERT_TRUE(program.Signal(SIGTERM));
  auto exit = program.Wait(15s);
  ASSERT_TRUE(exit.has_value());
  EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  // The reader deleted its picture file on the way out.
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(tmp / "run/kestrova", ec))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

}  // namespace
