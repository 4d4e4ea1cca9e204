// Programs started along PATH and ended: stand-in scripts in a temp folder put first on PATH.
#include "platform/core/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::chrono_literals;
using test_support::ReadFile;

std::string Proc(pid_t pid, const char* entry = "") { return "/proc/" + std::to_string(pid) + "/" + entry; }
bool Poll(const std::function<bool()>& pred) { return test_support::PollUntil(pred, 5s); }

// Ends the child; whether it is gone: reaped, and no longer in /proc.
bool End(ChildProgram* child) {
  const pid_t pid = child->pid;
  EndProgram(child);
  return child->pid == -1 && waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD &&
         !std::filesystem::exists(Proc(pid));
}

TEST(ChildProgram, StartsAlongPathWithItsArgumentsAloneAndEndsStubbornOrAlreadyEndedOnes) {
  test_support::TempFolder bin;
  const std::string path = std::getenv("PATH");
  setenv("PATH", (bin.path() + ":" + path).c_str(), 1);
  const std::pair<const char*, std::string> scripts[] = {
      {"stand-in", "printf '%s\\n' $$ \"$@\" > " + (bin / "args")},
      {"quick", "exit 3"},
      {"stubborn", "trap '' TERM; echo > " + (bin / "ready")}};
  for (const auto& [name, body] : scripts) {
    ASSERT_TRUE(test_support::WriteFile(bin / name, "#!/bin/sh\n" + body + "\nexec sleep 30\n"));
    ASSERT_EQ(chmod((bin / name).c_str(), 0755), 0);
  }

  // Found on PATH with its arguments as given; a descriptor of ours without close-on-exec stays here.
  ASSERT_TRUE(test_support::WriteFile(bin / "ours", ""));
  const int leaked = open((bin / "ours").c_str(), O_RDONLY);
  ChildProgram child;
  ASSERT_EQ(StartProgram("stand-in", {"--tab=4", "two words"}, &child), 0);
  const pid_t pid = child.pid;
  EXPECT_TRUE(Poll([&] { return ReadFile(bin / "args") == std::to_string(pid) + "\n--tab=4\ntwo words\n"; }));
  ASSERT_TRUE(Poll([&] { return ReadFile(Proc(pid, "comm")) == "sleep\n"; }));
  // (The program may open files of its own meanwhile: only ours must not be there.)
  std::error_code gone;
  for (const auto& fd : std::filesystem::directory_iterator(Proc(pid, "fd")))
    EXPECT_NE(std::filesystem::read_symlink(fd.path(), gone), bin / "ours");
  close(leaked);
  EXPECT_TRUE(End(&child));
  EndProgram(&child);  // nothing left to end

  // Nowhere on PATH: the reason, and the record untouched.
  ChildProgram unknown{1234};
  EXPECT_EQ(StartProgram("kestrova-no-such-program", {}, &unknown), ENOENT);
  EXPECT_EQ(unknown.pid, 1234);

  // One that exited by itself waits as a zombie and is only reaped.
  ASSERT_EQ(StartProgram("quick", {}, &child), 0);
  ASSERT_TRUE(Poll([&] { return ReadFile(Proc(child.pid, "stat")).find(") Z ") != std::string::npos; }));
  EXPECT_TRUE(End(&child));

  // One that ignores SIGTERM is killed once the bound has passed.
  ASSERT_EQ(StartProgram("stubborn", {}, &child), 0);
  ASSERT_TRUE(Poll([&] { return !ReadFile(bin / "ready").empty(); }));
  EXPECT_TRUE(End(&child));
  setenv("PATH", path.c_str(), 1);
}

}  // namespace
