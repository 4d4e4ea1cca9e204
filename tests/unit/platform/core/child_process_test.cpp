// Programs started along PATH and ended: stand-in scripts in a temp folder put first on PATH.
#include "platform/core/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

// Ends the child; how long that took, or -1 ms when it was not reaped (still ours, or still in /proc).
std::chrono::milliseconds End(ChildProgram* child) {
  const pid_t pid = child->pid;
  const auto begin = std::chrono::steady_clock::now();
  EndProgram(child);
  const auto took =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
  const bool reaped = child->pid == -1 && waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD;
  return reaped && !std::filesystem::exists(Proc(pid)) ? took : -1ms;
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
  const int leaked = open("/dev/null", O_RDONLY);
  ChildProgram child;
  ASSERT_EQ(StartProgram("stand-in", {"--tab=4", "two words"}, &child), 0);
  const pid_t pid = child.pid;
  EXPECT_TRUE(Poll([&] { return ReadFile(bin / "args") == std::to_string(pid) + "\n--tab=4\ntwo words\n"; }));
  ASSERT_TRUE(Poll([&] { return ReadFile(Proc(pid, "comm")) == "sleep\n"; }));
  for (const auto& fd : std::filesystem::directory_iterator(Proc(pid, "fd")))
    EXPECT_LE(std::stoi(fd.path().filename()), 2);
  close(leaked);
  EXPECT_GE(End(&child), 0ms);
  EndProgram(&child);  // nothing left to end

  // Nowhere on PATH: the reason, and the record untouched.
  ChildProgram unknown{1234};
  EXPECT_EQ(StartProgram("kestrova-no-such-program", {}, &unknown), ENOENT);
  EXPECT_EQ(unknown.pid, 1234);

  // One that exited by itself waits as a zombie and is only reaped.
  ASSERT_EQ(StartProgram("quick", {}, &child), 0);
  ASSERT_TRUE(Poll([&] { return ReadFile(Proc(child.pid, "stat")).find(") Z ") != std::string::npos; }));
  const auto quick = End(&child);
  EXPECT_TRUE(quick >= 0ms && quick < 500ms) << quick.count();

  // One that ignores SIGTERM is killed once the bound has passed.
  ASSERT_EQ(StartProgram("stubborn", {}, &child), 0);
  ASSERT_TRUE(Poll([&] { return !ReadFile(bin / "ready").empty(); }));
  const auto stubborn = End(&child);
  EXPECT_TRUE(stubborn >= 900ms && stubborn < 3s) << stubborn.count();
  setenv("PATH", path.c_str(), 1);
}

}  // namespace
