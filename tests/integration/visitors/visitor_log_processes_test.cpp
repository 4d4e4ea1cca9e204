// Several processes writing one visitor log at once, and one killed by SIGKILL in the middle of writing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"
#include "visitors/visitor_log.h"

namespace visitors {
namespace {

using namespace std::chrono_literals;
constexpr TimeMs kStart = 1'780'000'000'000;

// Records `visits` visits of its own unit, each with a picture, and the one visit every writer sees. With a
// pruner at work a visit may be gone before its picture comes (pruned): that picture is not stored.
[[noreturn]] void Writer(const std::string& root, int writer, int visits, bool pruned = false) {
  auto log = VisitorLog::Open(root, nullptr);
  bool ok = log != nullptr;
  for (int i = 0; ok && i < visits; ++i) {
    const long long id = log->Record({"unit" + std::to_string(writer), kStart + i * 60000}, "");
    ok = id != 0 && (log->AddPicture(id, 0, std::string(2000 + i, 'p')) || pruned);
    if (i == 0)
      ok = ok && (log->AddPicture(log->Record({"shared", kStart + writer}, ""), 0, "shared") || pruned);
  }
  _exit(ok ? 0 : 1);
}

bool Exited(pid_t pid, int* status) { return waitpid(pid, status, WNOHANG) == pid; }
TEST(VisitorLogProcesses, WritersAtOnceLoseNothing) {
  test_support::TempFolder temp;
  const int kWriters = 4, kVisits = 30;
  std::vector<pid_t> pids;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = fork();
    if (pid == 0) Writer(temp.path(), w, kVisits);
    pids.push_back(pid);
  }
  for (pid_t pid : pids) {
    int status = -1;
    ASSERT_TRUE(test_support::PollUntil([&] { return Exited(pid, &status); }, 60s));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto log = VisitorLog::Open(temp.path(), nullptr);
  ASSERT_TRUE(log);
  const auto rows = log->Newest(0, 1000);
  EXPECT_EQ(rows.size(), static_cast<std::size_t>(kWriters * kVisits + 1));
  for (const VisitRow& row : rows) EXPECT_EQ(row.pictures.size(), 1u) << row.visit.unit;
}

TEST(VisitorLogProcesses, KilledWriterLeavesNoRowWithoutPicture) {
  test_support::TempFolder temp;
  const pid_t pid = fork();
  if (pid == 0) Writer(temp.path(), 0, 100000, true);
  auto log = VisitorLog::Open(temp.path(), nullptr);
  ASSERT_TRUE(log);
  // Meanwhile this copy prunes the visits the writer makes past the day's limit, and never fails to.
  int pruned = 0;
  EXPECT_TRUE(test_support::PollUntil(
      [&] {
        const int n = log->Prune(kStart + 300 * 60000 + 24LL * 3600 * 1000, {1, 0});
        EXPECT_GE(n, 0);
        pruned += std::max(n, 0);
        return pruned >= 200;
      },
      60s));
  kill(pid, SIGKILL);
  int status = -1;
  ASSERT_TRUE(test_support::PollUntil([&] { return Exited(pid, &status); }, 10s));
  log.reset();
  std::string why;
  log = VisitorLog::Open(temp.path(), &why);
  ASSERT_TRUE(log) << why;
  for (const VisitRow& row : log->Newest(0, 100000)) {
    EXPECT_FALSE(row.picturesMissing);
    for (const std::string& path : row.pictures) EXPECT_TRUE(std::filesystem::exists(path)) << path;
  }
}

}  // namespace
}  // namespace visitors
