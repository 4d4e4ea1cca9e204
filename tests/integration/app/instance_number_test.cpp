// Instance numbering between real copies running at once (instance_probe processes).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "tests/support/child_process.h"

#ifndef INSTANCE_PROBE_PATH
#error "INSTANCE_PROBE_PATH must name the instance_probe executable"
#endif

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;

constexpr auto kDeadline = 10s;

class InstanceNumberTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrova-instance-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    runtimeDir_ = pattern;
  }
  void TearDown() override {
    children_.clear();  // kills what is left before its folder goes
    std::error_code ignored;
    std::filesystem::remove_all(runtimeDir_, ignored);
  }

  ChildProcess& StartCopy(const std::string& runtimeDir) {
    ChildProcess& child = children_.emplace_back();
    EXPECT_TRUE(child.Start(INSTANCE_PROBE_PATH, {}, {.set = {{"XDG_RUNTIME_DIR", runtimeDir}}, .unset = {}}))
        << child.LastError();
    return child;
  }
  ChildProcess& StartCopy() { return StartCopy(runtimeDir_); }

  // The number a started copy reports, after checking that its lock name matches it; -1 if none.
  static int NumberOf(ChildProcess& child) {
    std::optional<std::string> line = child.ReadLine(kDeadline);
    if (!line) {
      ADD_FAILURE() << "copy " << child.Pid() << " reported nothing";
      return -1;
    }
    int number = -1;
    char name[64] = "";
    if (std::sscanf(line->c_str(), "instance %d %63s", &number, name) != 2) {
      ADD_FAILURE() << "unexpected report: " << *line;
      return -1;
    }
    EXPECT_EQ(std::string(name), "Kestrova_1.39" + std::to_string(number));
    return number;
  }

  static void End(ChildProcess& child) {
    child.CloseStdin();
    auto exit = child.Wait(kDeadline);
    ASSERT_TRUE(exit.has_value()) << "copy did not end";
    EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  }

  std::string runtimeDir_;
  std::deque<ChildProcess> children_;  // a deque keeps references to earlier children valid
};

TEST_F(InstanceNumberTest, FirstCopyGetsOneAndASecondGetsTwo) {
  ChildProcess& first = StartCopy();
  EXPECT_EQ(first.ReadLine(kDeadline), "instance 1 Kestrova_1.391");
  ChildProcess& second = StartCopy();
  EXPECT_EQ(second.ReadLine(kDeadline), "instance 2 Kestrova_1.392");
}

TEST_F(InstanceNumberTest, RunningCopiesKeepLowerNamesTakenUntilAllHaveEnded) {
  ChildProcess& one = StartCopy();
  ASSERT_EQ(NumberOf(one), 1);
  ChildProcess& two = StartCopy();
  ASSERT_EQ(NumberOf(two), 2);

  End(one);
  ChildProcess& three = StartCopy();  // copy 2 still holds name 1
  ASSERT_EQ(NumberOf(three), 3);

  End(two);
  ChildProcess& four = StartCopy();  // copy 3 still holds names 1 and 2
  ASSERT_EQ(NumberOf(four), 4);

  // A killed copy must not leave its names (1, 2 and 3) behind.
  ASSERT_TRUE(three.Signal(SIGKILL));
  auto killed = three.Wait(kDeadline);
  ASSERT_TRUE(killed.has_value());
  EXPECT_TRUE(killed->KilledBy(SIGKILL)) << killed->Describe();
  End(four);

  ChildProcess& fresh = StartCopy();
  EXPECT_EQ(NumberOf(fresh), 1);
}

TEST_F(InstanceNumberTest, CopiesStartedAtTheSameMomentGetDistinctNumbers) {
  constexpr int kCopies = 6;
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string dir = runtimeDir_ + "/round" + std::to_string(round);
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    std::vector<ChildProcess*> copies;
    for (int i = 0; i < kCopies; ++i) copies.push_back(&StartCopy(dir));
    std::vector<int> numbers;
    for (ChildProcess* copy : copies) numbers.push_back(NumberOf(*copy));
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    for (ChildProcess* copy : copies) End(*copy);
  }
}

TEST_F(InstanceNumberTest, ANumberWhoseLockCannotBeTakenIsNobodys) {
  ChildProcess& one = StartCopy();
  ASSERT_EQ(NumberOf(one), 1);
  // A folder where the lock file of number 2 belongs: that lock can never be held.
  ASSERT_EQ(mkdir((runtimeDir_ + "/kestrova/Kestrova_1.392.lock").c_str(), 0700), 0);
  ChildProcess& second = StartCopy();
  EXPECT_EQ(NumberOf(second), 3);
  ChildProcess& third = StartCopy();
  EXPECT_EQ(NumberOf(third), 4);
}

TEST_F(InstanceNumberTest, CopyEndsWhenTheRuntimeFolderIsRefused) {
  ASSERT_EQ(mkdir((runtimeDir_ + "/kestrova").c_str(), 0700), 0);
  ASSERT_EQ(chmod((runtimeDir_ + "/kestrova").c_str(), 0755), 0);
  ChildProcess& copy = StartCopy();
  EXPECT_EQ(copy.ReadLine(kDeadline), "refused");
  auto exit = copy.Wait(kDeadline);
  ASSERT_TRUE(exit.has_value());
  EXPECT_TRUE(exit->ExitedWith(1)) << exit->Describe();
}

}  // namespace
