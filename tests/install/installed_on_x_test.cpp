// The installed program started as the desktop's menu starts it: from the home folder, with its skin
// kept beside the settings file.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "tests/e2e/program_on_x.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using test_support::PollUntil;

class InstalledProgramOnX : public e2e::ProgramOnX {};

TEST_F(InstalledProgramOnX, StartsFromTheHomeFolderWithTheSkinBesideItsSettings) {
  // Left and right edges of a colour no built-in piece has, in the settings folder only.
  const std::string skin = tmp / "cfg/Kestrova/Skin";
  std::filesystem::create_directories(skin);
  ASSERT_TRUE(test_support::WriteBmp(skin + "/l.bmp", 8, 100, 0x20C040));
  ASSERT_TRUE(test_support::WriteBmp(skin + "/r.bmp", 8, 100, 0x20C040));
  program.SetWorkingFolder(tmp / "home");

  ASSERT_NO_FATAL_FAILURE(StartDisplay(true));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  // The class the menu entry names as its StartupWMClass.
  EXPECT_NE(x.Run("/usr/bin/xprop", {"-id", window, "WM_CLASS"}).output.find("\"KestrovaClass\""),
            std::string::npos);
  std::optional<test_support::Screenshot> shot;
  ASSERT_TRUE(PollUntil([&] { return (shot = Shot()) && shot->at(4, 150) == 0x20C040u; }, 10s))
      << "the left edge is not the one beside the settings file";
  EXPECT_EQ(shot->at(331, 150), 0x20C040u);
  // The first copy takes the telephone: its module comes from the library folder beside bin/.
  const std::string module = std::string(STAGE_DIR) + "/usr/" KESTROVA_MODULE_DIR "/kestrova-telephone.so";
  EXPECT_TRUE(PollUntil(
      [&] {
        std::ifstream maps("/proc/" + std::to_string(program.Pid()) + "/maps");
        for (std::string line; std::getline(maps, line);)
          if (line.ends_with(" " + module)) return true;
        return false;
      },
      10s))
      << module;

  ASSERT_TRUE(program.Signal(SIGTERM));
  ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
}

}  // namespace
