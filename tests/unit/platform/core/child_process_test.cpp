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
#include <set>
#include <string>

#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::chrono_literals;
using test_support::PollUntil;
using test_support::ReadFile;

void WriteScript(const test_support::TempFolder& folder, const std::string& name, const std::string& body) {
  ASSERT_TRUE(test_support::WriteFile(folder / name, "#!/bin/sh\n" + body));
  ASSERT_EQ(chmod((folder / name).c_str(), 0755), 0);
}

std::string Proc(pid_t pid, const char* entry) { return "/proc/" + std::to_string(pid) + "/" + entry; }
// Reaped by EndProgram: no longer a child of ours and gone from /proc.
bool Reaped(pid_t pid) {
  return waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD && !std::filesystem::exists(Proc(pid, ""));
}
bool IsZombie(pid_t pid) { return ReadFile(Proc(pid, "stat")).find(") Z ") != std::string::npos; }

// PATH as it was when the test began, given back however the test ends.
struct SavedPath {
  const std::string value = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";
  ~SavedPath() { setenv("PATH", value.c_str(), 1); }
};

// A child still running when an assertion fails is ended all the same.
struct Started {
  ChildProgram child;
  ~Started() { EndProgram(&child); }
};

TEST(ChildProgram, StartsAlongPathWithItsArgumentsAloneAndEndsStubbornOrAlreadyEndedOnes) {
  test_support::TempFolder bin;
  const SavedPath saved;
  setenv("PATH", (bin.path() + ":" + saved.value).c_str(), 1);
  WriteScript(bin, "stand-in", "printf '%s\\n' $$ \"$@\" > " + (bin / "args") + "\nexec sleep 30\n");
  WriteScript(bin, "quick", "exit 3\n");
  WriteScript(bin, "stubborn", "trap '' TERM\nprintf ready > " + (bin / "ready") + "\nexec sleep 30\n");

  // Found on PATH with its arguments as given; a descriptor of ours that is not close-on-exec stays here.
  const int leaked = open("/dev/null", O_RDONLY);
  Started standIn;
  ASSERT_EQ(StartProgram("stand-in", {"--tab=4", "two words"}, &standIn.child), 0);
  const pid_t pid = standIn.child.pid;
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(
      PollUntil([&] { return ReadFile(bin / "args") == std::to_string(pid) + "\n--tab=4\ntwo words\n"; }, 5s))
      << ReadFile(bin / "args");
  ASSERT_TRUE(PollUntil([&] { return ReadFile(Proc(pid, "comm")) == "sleep\n"; }, 5s));
  std::set<std::string> fds;
  for (const auto& entry : std::filesystem::directory_iterator(Proc(pid, "fd")))
    fds.insert(entry.path().filename().string());
  EXPECT_EQ(fds, (std::set<std::string>{"0", "1", "2"}));
  close(leaked);
  EndProgram(&standIn.child);
  EXPECT_EQ(standIn.child.pid, -1);
  EXPECT_TRUE(Reaped(pid));
  EndProgram(&standIn.child);  // nothing left to end

  // A program that is nowhere on PATH: the reason, and the record untouched.
  ChildProgram unknown{1234};
  EXPECT_EQ(StartProgram("kestrova-no-such-program", {}, &unknown), ENOENT);
  EXPECT_EQ(unknown.pid, 1234);

  // One that ended by itself waits as a zombie and is only reaped.
  Started quick;
  ASSERT_EQ(StartProgram("quick", {}, &quick.child), 0);
  const pid_t quickPid = quick.child.pid;
  ASSERT_TRUE(PollUntil([&] { return IsZombie(quickPid); }, 5s));
  auto begin = std::chrono::steady_clock::now();
  EndProgram(&quick.child);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 500ms);
  EXPECT_TRUE(Reaped(quickPid));

  // One that ignores SIGTERM is killed once the bound has passed.
  Started stubborn;
  ASSERT_EQ(StartProgram("stubborn", {}, &stubborn.child), 0);
  const pid_t stubbornPid = stubborn.child.pid;
  ASSERT_TRUE(PollUntil([&] { return ReadFile(bin / "ready") == "ready"; }, 5s));
  begin = std::chrono::steady_clock::now();
  EndProgram(&stubborn.child);
  const auto took = std::chrono::steady_clock::now() - begin;
  EXPECT_TRUE(took >= 900ms && took < 3s)
      << std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
  EXPECT_TRUE(Reaped(stubbornPid));
}

}  // namespace
