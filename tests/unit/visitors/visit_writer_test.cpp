// The writer thread against a real SQLite file: what the window thread and the reader hand over is all
// written, in order, by the time the writer is gone, and a missed visit is announced once.
#include "visitors/visit_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/temp_folder.h"

namespace visitors {
namespace {

TEST(VisitWriter, WritesEverythingHandedInBeforeItEndsAndAnnouncesAMissedVisitOnce) {
  test_support::TempFolder temp;
  std::atomic<int> opened{0}, missed{0};
  {
    VisitWriter::Hooks hooks;
    hooks.opened = [&](std::shared_ptr<VisitorLog> log) { opened += log != nullptr; };
    hooks.missed = [&](const std::string& title, TimeMs) { missed += title == "Front"; };
    VisitWriter writer(temp / "Kestrova", {}, hooks);
    // The reader's pictures come from another thread while the window thread records.
    std::jthread reader([&] {
      for (int i = 0; i < 20; ++i)
        writer.Picture("u", 1000 + i * 60000, 0, "jpeg" + std::to_string(i), "Front");
    });
    for (int i = 0; i < 20; ++i) {
      const Visit visit{"u", 1000 + i * 60000, i % 2 == 0 ? Outcome::Missed : Outcome::Answered, 0, 0, true};
      writer.Store(visit, "Front");
      writer.Store(visit, "Front");  // a second report of the same outcome
    }
  }
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(missed, 10);
  std::string why;
  auto log = VisitorLog::Open(temp / "Kestrova", &why);
  ASSERT_TRUE(log) << why;
  const auto rows = log->Newest(0, 100);
  ASSERT_EQ(rows.size(), 20u);
  for (const VisitRow& row : rows) EXPECT_EQ(row.pictures.size(), 1u) << row.visit.startMs;
  EXPECT_EQ(log->UnseenMissedCount(), 10);
}

}  // namespace
}  // namespace visitors
