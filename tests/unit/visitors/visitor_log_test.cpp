// The visitor log on a real SQLite file in a temporary folder: record, query, merge, prune, repair, damage.
#include "visitors/visitor_log.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/temp_folder.h"
#include "visitors/door_answer.h"

namespace visitors {
namespace {

constexpr TimeMs kDay = 24LL * 3600 * 1000;
constexpr TimeMs kNow = 1'780'000'000'000;
constexpr const char* kOlderSchema =
    "CREATE TABLE visits(id INTEGER PRIMARY KEY, unit TEXT NOT NULL, title TEXT NOT NULL DEFAULT '',"
    " start_ms INTEGER NOT NULL, outcome INTEGER NOT NULL DEFAULT 0, talk_ms INTEGER NOT NULL DEFAULT 0,"
    " door INTEGER NOT NULL DEFAULT 0, ended INTEGER NOT NULL DEFAULT 0, seen INTEGER NOT NULL DEFAULT 0,"
    " pictures_missing INTEGER NOT NULL DEFAULT 0, noticed INTEGER NOT NULL DEFAULT 0,"
    " weak_title INTEGER NOT NULL DEFAULT 0, UNIQUE(unit, start_ms));"
    "INSERT INTO visits(unit, start_ms, outcome, door, ended) VALUES('c', 5, 1, 2, 1)";

int Mode(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

TEST(VisitorLog, RecordQueryPruneRepair) {
  test_support::TempFolder temp;
  const std::string root = temp / "Kestrova";
  std::string why;
  auto log = VisitorLog::Open(root, &why);
  ASSERT_TRUE(log) << why;
  const std::string jpeg(40000, 'j');
  // Ten days of visits, one a day; the telephone's copy reports 20 s after the watcher saw today's flag,
  // which is still up.
  std::vector<long long> ids;
  for (int day = 9; day >= 0; --day) {
    const Visit flag{"a", kNow - day * kDay, day == 0 ? Outcome::Pending : Outcome::Missed, 0, 0, day != 0};
    ids.push_back(log->Record(flag, "Front"));
    ASSERT_NE(ids.back(), 0);
    ASSERT_TRUE(log->AddPicture(ids.back(), 0, jpeg));
    ASSERT_TRUE(log->AddPicture(ids.back(), 1, jpeg));
  }
  EXPECT_EQ(log->Record({"a", kNow + 20000, Outcome::Answered, 42000, 1, true}, "Front"), ids.back());
  EXPECT_TRUE(log->Update(ids.back(), {"a", kNow, Outcome::Missed, 0, 2, true, DoorAnswer(1, 200)}));
  // Another copy's press went unanswered: the door stays opened.
  EXPECT_EQ(log->Record({"a", kNow, Outcome::Pending, 0, 2, false, DoorAnswer(2, 0)}, "Front"), ids.back());
  EXPECT_FALSE(log->Update(999999, {}));

  auto rows = log->Newest(0, 3);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].visit, (Visit{"a", kNow, Outcome::Answered, 42000, 1, true, DoorAnswer(1, 200)}));
  EXPECT_EQ(rows[0].title, "Front");
  ASSERT_EQ(rows[0].pictures.size(), 2u);
  EXPECT_EQ(test_support::ReadFile(rows[0].pictures[1]), jpeg);
  EXPECT_EQ(Mode(rows[0].pictures[0]), 0600);
  EXPECT_EQ(Mode(std::filesystem::path(rows[0].pictures[0]).parent_path()), 0700);
  EXPECT_EQ(Mode(root + "/visitors.sqlite3"), 0600);
  EXPECT_EQ(log->Newest(8, 5).size(), 2u);
  EXPECT_EQ(log->UnseenMissedCount(), 9);
  EXPECT_TRUE(log->MarkMissedSeen());
  EXPECT_EQ(log->UnseenMissedCount(), 0);

  // Days: the visits 8 and 9 days old go. Size: the oldest go until the rest fits.
  EXPECT_EQ(log->Prune(kNow, {7, 0}), 2);
  // The database's own pages (well under 64 KiB here) count too.
  EXPECT_EQ(log->Prune(kNow, {0, 3 * 80000 + 64 * 1024}), 8 - 3);
  rows = log->Newest(0, 100);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].visit.startMs, kNow - 2 * kDay);
  int files = 0;
  for (auto& f : std::filesystem::recursive_directory_iterator(root + "/visitors"))
    files += f.is_regular_file();
  EXPECT_EQ(files, 6);
  EXPECT_TRUE(log->Delete(rows[1].id));
  EXPECT_FALSE(std::filesystem::exists(rows[1].pictures[0]));

  // After a crash: a row's picture gone, a stray picture an hour old and one just written.
  std::filesystem::remove(rows[0].pictures[1]);
  const std::string stray = root + "/visitors/stray.jpg", fresh = root + "/visitors/fresh.jpg";
  test_support::WriteFile(stray, "x");
  test_support::WriteFile(fresh, "x");
  std::filesystem::last_write_time(stray,
                                   std::filesystem::file_time_type::clock::now() - std::chrono::minutes(61));
  log.reset();
  log = VisitorLog::Open(root, &why);
  ASSERT_TRUE(log) << why;
  rows = log->Newest(0, 100);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[0].picturesMissing);
  EXPECT_FALSE(rows[1].picturesMissing);
  EXPECT_FALSE(std::filesystem::exists(stray));
  EXPECT_TRUE(std::filesystem::exists(fresh));
  // A visit that ended is joined only by its own start: a visitor ringing again is a visit of their own.
  // The telephone's copy names a unit it does not watch by the caller; the watching copy's title wins.
  const long long first = log->Record({"b", kNow, Outcome::Missed, 0, 0, true}, "127.0.0.3", false);
  EXPECT_EQ(log->Record({"b", kNow}, "Back"), first);
  EXPECT_NE(log->Record({"b", kNow + 500}, "Back"), first);
  EXPECT_EQ(log->ClaimMissedNotice(first), std::optional<std::string>("Back"));
  EXPECT_FALSE(log->ClaimMissedNotice(first));
  EXPECT_TRUE(log->DeleteAll());
  EXPECT_TRUE(log->Newest(0, 100).empty());
  log.reset();

  // A log an older copy made, without the door's answer (which Newest reads): its rows read as before.
  for (const char* end : {"", "-wal", "-shm"}) std::filesystem::remove(root + "/visitors.sqlite3" + end);
  sqlite3* older = nullptr;
  ASSERT_EQ(sqlite3_open((root + "/visitors.sqlite3").c_str(), &older), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(older, kOlderSchema, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(older);
  log = VisitorLog::Open(root, &why);
  ASSERT_TRUE(log && VisitorLog::Open(root, &why)) << why;
  rows = log->Newest(0, 2);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].visit, (Visit{"c", 5, Outcome::Missed, 0, 2, true}));
  log.reset();

  // A damaged file turns the log off with a reason, and throws nothing.
  test_support::WriteFile(root + "/visitors.sqlite3", std::string(8192, '\x5a'));
  std::filesystem::remove(root + "/visitors.sqlite3-wal");
  std::filesystem::remove(root + "/visitors.sqlite3-shm");
  why.clear();
  EXPECT_FALSE(VisitorLog::Open(root, &why));
  EXPECT_NE(why.find("visitors.sqlite3"), std::string::npos) << why;
}

}  // namespace
}  // namespace visitors
