// The settings dialog of the real program behind the gear: Escape keeps the file as it was, a click where the
// pointer has rested since opens it again, Enter saves a new unit's address and the window moves over to
// that unit; the volume control buttons start a stand-in for the desktop's volume control on the device's
// tab, one at a time, and closing the program ends it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/core/profile.h"
#include "tests/e2e/program_on_x.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using test_support::PollUntil;
using test_support::ReadFile;

// The dialog's size and the middle of its controls, in dialog units (resources/dialog/settings.dlg).
constexpr double kWidth = 270, kHeight = 132;
constexpr double kAddressX = 80 / kWidth, kAddressY = 112 / kHeight;
constexpr double kVolumeX = 215 / kWidth, kPlaybackVolumeY = 37 / kHeight, kCaptureVolumeY = 77 / kHeight;

class SettingsOnX : public e2e::ProgramOnX {
 protected:
  void SetUp() override {
    ProgramOnX::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
    ASSERT_NO_FATAL_FAILURE(StartUnit());
    ASSERT_NO_FATAL_FAILURE(WriteSettings("[Window 0]\r\nIP_addr=" + address + "\r\n"));
  }

  std::string File() { return ReadFile(tmp / "cfg/Kestrova/Kestrova.ini"); }
  // The settings dialog's window, "" while none is shown.
  std::string Dialog() {
    const std::string out =
        x.Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^Kestrova version 1\\.39$"}).output;
    return out.substr(0, out.find('\n'));
  }
  void Click(int px, int py) {
    // Two moves: the window learns which button is under the pointer from the motion.
    PointerTo(px, py);
    PointerTo(px + 1, py);
    Xdo({"click", "1"});
  }
  void ClickIn(const std::string& window, double fx, double fy) {
    const auto g = x.Geometry(window);
    ASSERT_TRUE(g.has_value());
    Click((*g)[0] + static_cast<int>((*g)[2] * fx), (*g)[1] + static_cast<int>((*g)[3] * fy));
  }
  // A click on the gear (resting: where the pointer was left, without moving it); returns the dialog it
  // opened.
  std::string OpenSettings(bool resting = false) {
    EXPECT_TRUE(PollUntil([&] { return Mapped() && Where().w > 0; }, 15s));
    const e2e::Geometry g = Where();
    resting ? Xdo({"click", "1"}) : Click(e2e::SettingsButtonX(g), e2e::TitleBarY(g));
    std::string dialog;
    EXPECT_TRUE(PollUntil([&] { return !(dialog = Dialog()).empty(); }, 10s)) << "the gear opened no dialog";
    // Keys go where the focus is: to the dialog once it has taken it.
    EXPECT_TRUE(
        PollUntil([&] { return x.Run("/usr/bin/xdotool", {"getwindowfocus"}).output == dialog + "\n"; }, 10s))
        << "the dialog did not take the keyboard";
    return dialog;
  }
};

TEST_F(SettingsOnX, EscapeKeepsTheFileAndEnterSavesAnotherUnitWhichTheWindowThenShows) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(PollUntil([&] { return WindowNamed("Front door"); }, 20s));
  const std::string before = File();

  ASSERT_FALSE(OpenSettings().empty());
  Xdo({"key", "Escape"});
  ASSERT_TRUE(PollUntil([&] { return Dialog().empty(); }, 10s)) << "Escape did not close the dialog";
  EXPECT_EQ(File(), before);

  test_support::ChildProcess back;
  ASSERT_TRUE(back.Start(DOORSIM_BINARY, {"--listen", "127.0.0.1:0", "--size", "320x240", "--fps", "10",
                                          "--title", "Back door"}))
      << back.LastError();
  const auto backAddress = back.ReadLine(10s);
  ASSERT_TRUE(backAddress.has_value());

  const std::string dialog = OpenSettings(true);  // the pointer still on the gear since the first click
  ASSERT_FALSE(dialog.empty());
  ClickIn(dialog, kAddressX, kAddressY);
  Xdo({"key", "ctrl+a"});
  Xdo({"type", *backAddress});
  Xdo({"key", "Return"});
  ASSERT_TRUE(PollUntil([&] { return Dialog().empty(); }, 10s)) << "Enter did not close the dialog";
  char stored[64] = "";
  GetPrivateProfileString("Window 0", "IP_addr", "", stored, sizeof stored,
                          (tmp / "cfg/Kestrova/Kestrova.ini").c_str());
  EXPECT_EQ(stored, *backAddress);

  // The unit's title names the window once its pictures arrive: the reader reconnects on timer 0, a
  // second after the dialog closed.
  ASSERT_TRUE(PollUntil([&] { return WindowNamed("Back door"); }, 5s)) << "still not on the second unit";
  std::optional<test_support::Screenshot> shot;
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && e2e::NoticePixels(*shot, Where()) < 20; }, 10s))
      << "no picture drawn";
}

TEST_F(SettingsOnX, VolumeControlStartsOnTheDevicesTabOneAtATimeAndEndsWithTheProgram) {
  // The stand-in logs "start ARGS" and, when asked to end, "end ARGS" as it ends.
  const std::string bin = tmp / "bin", log = tmp / "volume.log";
  mkdir(bin.c_str(), 0700);
  ASSERT_TRUE(
      test_support::WriteFile(bin + "/pavucontrol", "#!/bin/sh\ntrap 'echo \"end $*\" >> " + log +
                                                        "; kill $!; exit 0' TERM\necho \"start $*\" >> " +
                                                        log + "\n/bin/sleep 60 &\nwait\n"));
  ASSERT_EQ(chmod((bin + "/pavucontrol").c_str(), 0755), 0);
  const char* path = std::getenv("PATH");
  ASSERT_NO_FATAL_FAILURE(StartProgram({{"PATH", bin + ":" + (path != nullptr ? path : "/usr/bin:/bin")}}));
  auto logIs = [&](const std::string& expected) {
    return PollUntil([&] { return ReadFile(log) == expected; }, 10s);
  };

  const std::string dialog = OpenSettings();
  ASSERT_FALSE(dialog.empty());
  ClickIn(dialog, kVolumeX, kCaptureVolumeY);
  ASSERT_TRUE(logIs("start --tab=4\n")) << ReadFile(log);
  ClickIn(dialog, kVolumeX, kPlaybackVolumeY);
  ASSERT_TRUE(logIs("start --tab=4\nend --tab=4\nstart --tab=3\n")) << ReadFile(log);
  Xdo({"key", "Escape"});
  ASSERT_TRUE(PollUntil([&] { return Dialog().empty(); }, 10s));

  const e2e::Geometry g = Where();
  Click(e2e::CloseButtonX(g), e2e::TitleBarY(g));
  ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
  EXPECT_EQ(ReadFile(log), "start --tab=4\nend --tab=4\nstart --tab=3\nend --tab=3\n");
}

}  // namespace
