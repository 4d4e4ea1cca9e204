// Several real copies of the program on one display: each is on the instance bus while it runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <deque>
#include <filesystem>

#include "tests/support/child_process.h"
#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;
using test_support::PollUntil;

TEST(CopiesOnBus, EachRunningCopyListensUnderItsPidUntilItCloses) {
  test_support::TempFolder tmp;
  mkdir((tmp / "run").c_str(), 0700);
  mkdir((tmp / "cfg").c_str(), 0700);
  test_support::XSession x;
  ASSERT_TRUE(x.Start(false)) << "Xvfb did not start";
  std::deque<ChildProcess> copies(2);
  for (ChildProcess& copy : copies)
    ASSERT_TRUE(
        copy.Start(KESTROVA_BINARY, {},
                   x.Environment({{"ALLUSERSPROFILE", tmp / "cfg"}, {"XDG_RUNTIME_DIR", tmp / "run"}})))
        << copy.LastError();
  auto socketOf = [&](const ChildProcess& copy) {
    return tmp / ("run/kestrova/bus-" + std::to_string(copy.Pid()) + ".sock");
  };
  for (ChildProcess& copy : copies)
    EXPECT_TRUE(PollUntil([&] { return std::filesystem::is_socket(socketOf(copy)); }, 15s)) << copy.Pid();
  // Shown windows: both copies are up and take close requests.
  ASSERT_TRUE(PollUntil([&] { return x.FindWindows("KestrovaClass", "Kestrova_1.39").size() >= 2; }, 15s));

  ASSERT_TRUE(copies[0].Signal(SIGTERM));
  auto exit = copies[0].Wait(15s);
  ASSERT_TRUE(exit.has_value());
  EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  EXPECT_FALSE(std::filesystem::exists(socketOf(copies[0])));
  EXPECT_TRUE(std::filesystem::is_socket(socketOf(copies[1])));
  EXPECT_TRUE(copies[1].Running());
}

}  // namespace
