// The runtime folder's vetting and the named locks kept in it, across real processes.
#include "platform/core/runtime_folder.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/named_mutex.h"

namespace {

class RuntimeFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) savedXdg_ = old;
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrova-runtime-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    base_ = pattern;
    folder_ = base_ + "/kestrova";
    setenv("XDG_RUNTIME_DIR", base_.c_str(), 1);
  }
  void TearDown() override {
    if (savedXdg_)
      setenv("XDG_RUNTIME_DIR", savedXdg_->c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(base_, ignored);
  }

  static mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode;
  }

  std::optional<std::string> savedXdg_;
  std::string base_;
  std::string folder_;
};

TEST_F(RuntimeFolderTest, CreatesAPrivateFolderWhateverTheUmask) {
  mode_t previous = umask(0277);  // would leave the owner unable to create lock files
  std::string got = RuntimeFolder();
  umask(previous);
  EXPECT_EQ(got, folder_);
  EXPECT_TRUE(S_ISDIR(ModeOf(folder_)));
  EXPECT_EQ(ModeOf(folder_) & 0777, 0700u);
  EXPECT_EQ(RuntimeFolder(), folder_) << "an existing folder of ours is accepted";
}

TEST_F(RuntimeFolderTest, RefusesWhatOthersCouldHavePlacedThere) {
  ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
  ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
  EXPECT_EQ(RuntimeFolder(), "") << "mode 0755";

  ASSERT_EQ(rmdir(folder_.c_str()), 0);
  const std::string target = base_ + "/elsewhere";
  ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
  ASSERT_EQ(symlink(target.c_str(), folder_.c_str()), 0);
  EXPECT_EQ(RuntimeFolder(), "") << "symbolic link to a private folder";

  ASSERT_EQ(unlink(folder_.c_str()), 0);
  FILE* file = std::fopen(folder_.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(RuntimeFolder(), "") << "plain file";
}

TEST_F(RuntimeFolderTest, RefusesAFolderOfAnotherUser) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
  ASSERT_EQ(chown(folder_.c_str(), 65534, 65534), 0);
  EXPECT_EQ(RuntimeFolder(), "");
}

TEST_F(RuntimeFolderTest, NeedsAnExistingXdgRuntimeDir) {
  setenv("XDG_RUNTIME_DIR", (base_ + "/missing").c_str(), 1);
  EXPECT_EQ(RuntimeFolder(), "");
}

TEST_F(RuntimeFolderTest, FallsBackToTmpWithoutXdgRuntimeDir) {
  const std::string expected = "/tmp/kestrova-" + std::to_string(geteuid());
  const bool existed = std::filesystem::exists(std::filesystem::symlink_status(expected));
  setenv("XDG_RUNTIME_DIR", "", 1);
  EXPECT_EQ(RuntimeFolder(), expected);
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(RuntimeFolder(), expected);
  if (!existed) rmdir(expected.c_str());
}

// Runs `body` in a forked copy of this process and returns its exit code (-1 if it did not exit).
int ExitCodeInChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// 0: the name was free, 1: it already existed, 2: it could not be created.
int TryName(const char* name) {
  bool existed = false;
  int handle = CreateNamedMutex(name, &existed);
  if (handle < 0) return 2;
  CloseNamedMutex(handle);
  return existed ? 1 : 0;
}

using NamedMutexTest = RuntimeFolderTest;

TEST_F(NamedMutexTest, NameIsTakenWhileAnyProcessHoldsIt) {
  bool existed = true;
  int mine = CreateNamedMutex("Door", &existed);
  ASSERT_GE(mine, 0);
  EXPECT_FALSE(existed);
  EXPECT_EQ(ExitCodeInChild([] { return TryName("Door"); }), 1);
  EXPECT_EQ(ExitCodeInChild([] { return TryName("Gate"); }), 0);
  CloseNamedMutex(mine);
  EXPECT_EQ(ExitCodeInChild([] { return TryName("Door"); }), 0);
}

TEST_F(NamedMutexTest, AKilledHolderReleasesTheName) {
  std::array<int, 2> ready{}, hold{};
  ASSERT_EQ(pipe(ready.data()), 0);
  ASSERT_EQ(pipe(hold.data()), 0);
  pid_t holder = fork();
  if (holder == 0) {
    close(hold[1]);
    bool existed = false;
    char status = CreateNamedMutex("Door", &existed) >= 0 ? 'y' : 'n';
    if (write(ready[1], &status, 1) != 1) _exit(2);
    char c;
    _exit(read(hold[0], &c, 1) == 0 ? 0 : 3);  // held until killed; ends by itself if the test dies
  }
  close(hold[0]);
  ASSERT_GT(holder, 0);
  close(ready[1]);
  pollfd p{ready[0], POLLIN, 0};
  char status = 'n';
  bool reported = poll(&p, 1, 10'000) == 1 && read(ready[0], &status, 1) == 1;
  close(ready[0]);
  EXPECT_EQ(reported ? TryName("Door") : -1, 1) << "holder reported " << status;
  kill(holder, SIGKILL);
  int wstatus = 0;
  ASSERT_EQ(waitpid(holder, &wstatus, 0), holder);
  close(hold[1]);
  EXPECT_TRUE(WIFSIGNALED(wstatus));
  EXPECT_EQ(TryName("Door"), 0);
}

// The window this guards against is two system calls wide, so the racers contend for many names.
TEST_F(NamedMutexTest, OfManyRacingProcessesExactlyOneFindsEachNameFree) {
  constexpr int kRacers = 8;
  constexpr int kNames = 400;  // one result byte per name; a racer's record stays one atomic pipe write
  std::array<int, 2> go{}, results{}, hold{};
  ASSERT_EQ(pipe(go.data()), 0);
  ASSERT_EQ(pipe(results.data()), 0);
  ASSERT_EQ(pipe(hold.data()), 0);
  std::vector<pid_t> racers;
  for (int i = 0; i < kRacers; ++i) {
    pid_t pid = fork();
    if (pid == 0) {
      close(go[1]);
      close(hold[1]);
      char c;
      if (read(go[0], &c, 1) != 0) _exit(3);  // everyone starts when the parent closes `go`
      char record[kNames];
      for (int n = 0; n < kNames; ++n) {
        bool existed = false;
        record[n] = CreateNamedMutex(("Race" + std::to_string(n)).c_str(), &existed) < 0 ? 'x'
                    : existed                                                            ? 'e'
                                                                                         : 'n';
      }
      if (write(results[1], record, kNames) != kNames) _exit(2);
      if (read(hold[0], &c, 1) != 0) _exit(3);  // keeps the names until the parent has counted
      _exit(0);
    }
    if (pid > 0) racers.push_back(pid);
  }
  close(go[1]);
  close(hold[0]);
  std::string seen;
  for (int i = 0; i < kRacers && seen.size() < std::size_t{kRacers * kNames}; ++i) {
    pollfd p{results[0], POLLIN, 0};
    char record[kNames];
    if (poll(&p, 1, 10'000) != 1 || read(results[0], record, kNames) != kNames) break;
    seen.append(record, kNames);
  }
  close(hold[1]);
  for (pid_t pid : racers) kill(pid, SIGKILL);  // no-op for those that ended already
  for (pid_t pid : racers) waitpid(pid, nullptr, 0);
  close(go[0]);
  close(results[0]);
  close(results[1]);
  ASSERT_EQ(racers.size(), std::size_t{kRacers});
  ASSERT_EQ(seen.size(), std::size_t{kRacers * kNames});
  for (int n = 0; n < kNames; ++n) {
    std::string outcomes;
    for (int r = 0; r < kRacers; ++r) outcomes += seen[r * kNames + n];
    std::sort(outcomes.begin(), outcomes.end());
    EXPECT_EQ(outcomes, std::string(kRacers - 1, 'e') + "n") << "Race" << n;
  }
}

TEST_F(NamedMutexTest, RefusesBadNamesAndARefusedFolder) {
  const std::vector<std::string> bad{
      "", "a/b", "../up", "with space", "tab\t", "caf\xc3\xa9", std::string(101, 'a')};
  for (const std::string& name : bad) {
    bool existed = true;
    EXPECT_EQ(CreateNamedMutex(name.c_str(), &existed), -1) << '"' << name << '"';
  }
  EXPECT_EQ(CreateNamedMutex(nullptr, nullptr), -1);
  const std::vector<std::string> good{"Kestrova_1.391", "a-b_c.d", std::string(100, 'z')};
  for (const std::string& name : good) {
    int handle = CreateNamedMutex(name.c_str(), nullptr);
    EXPECT_GE(handle, 0) << name;
    CloseNamedMutex(handle);
  }

  ASSERT_EQ(chmod(folder_.c_str(), 0750), 0);
  EXPECT_EQ(CreateNamedMutex("Door", nullptr), -1);
}

}  // namespace
