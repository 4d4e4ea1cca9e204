// The visitor log: opening the database, recording visits and pictures, the window's queries.
#include "visitors/visitor_log.h"

#include <sqlite3.h>

#include "platform/core/bounds.h"
#include "platform/core/diagnostics.h"
#include "platform/core/folders.h"
#include "platform/core/private_files.h"
#include "platform/core/replace_file.h"
#include "visitors/picture_path.h"
#include "visitors/sqlite_statement.h"

namespace visitors {

namespace {

// The outcome, talk, door and door_answer columns merge as visit.h and door_answer.h order them; ended
// never goes back.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS visits("
    " id INTEGER PRIMARY KEY, unit TEXT NOT NULL, title TEXT NOT NULL DEFAULT '',"
    " start_ms INTEGER NOT NULL, outcome INTEGER NOT NULL DEFAULT 0, talk_ms INTEGER NOT NULL DEFAULT 0,"
    " door INTEGER NOT NULL DEFAULT 0, ended INTEGER NOT NULL DEFAULT 0, seen INTEGER NOT NULL DEFAULT 0,"
    " pictures_missing INTEGER NOT NULL DEFAULT 0, noticed INTEGER NOT NULL DEFAULT 0,"
    " weak_title INTEGER NOT NULL DEFAULT 0, door_answer INTEGER NOT NULL DEFAULT 0,"
    " UNIQUE(unit, start_ms));"
    "CREATE INDEX IF NOT EXISTS visits_by_start ON visits(start_ms);"
    "CREATE TABLE IF NOT EXISTS pictures("
    " visit INTEGER NOT NULL, slot INTEGER NOT NULL, path TEXT NOT NULL, bytes INTEGER NOT NULL,"
    " PRIMARY KEY(visit, slot));";

constexpr const char* kMerge =
    "UPDATE visits SET outcome = max(outcome, ?2),"
    " talk_ms = CASE WHEN ?2 = 4 THEN ?3 ELSE talk_ms END,"
    " door = CASE WHEN door = 0 THEN ?4 ELSE door END, ended = max(ended, ?5),"
    " door_answer = max(door_answer, ?6) WHERE id = ?1";

// Columns later copies added, in the order they came. A file an older copy made gets them at open, with
// defaults that read as that copy's rows did; an older copy still running leaves them at the defaults.
constexpr const char* kAddedColumns[][2] = {{"door_answer", "INTEGER NOT NULL DEFAULT 0"}};

// Writers of other copies hold the database for a few milliseconds each; this bounds a queue of them.
constexpr int kBusyMs = 10'000;

}  // namespace

std::string VisitorLogRoot() { return XdgDataHome() + "/Kestrova"; }

VisitorLog::VisitorLog(std::string root, sqlite3* db) : root_(std::move(root)), db_(db) {}

VisitorLog::~VisitorLog() { sqlite3_close_v2(db_); }

std::unique_ptr<VisitorLog> VisitorLog::Open(const std::string& root, std::string* diagnostic) {
  const std::string file = root + "/visitors.sqlite3";
  auto fail = [&](const std::string& why) {
    Diag(DiagLevel::Warning, "the visitor log is off: %s", why.c_str());
    if (diagnostic != nullptr) *diagnostic = why;
    return std::unique_ptr<VisitorLog>();
  };
  if (!MakePrivateFolder(root) || !MakePrivateFolder(root + "/visitors"))
    return fail(root + ": the folder cannot be made private");
  // Made 0600 before SQLite opens it: its -wal and -shm files take the database file's rights.
  if (!MakePrivateFile(file)) return fail(file + ": cannot be made private");
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    return fail(file + ": " + why);
  }
  sqlite3_busy_timeout(db, bounds::BoundMs(kBusyMs));
  std::unique_ptr<VisitorLog> log(new VisitorLog(root, db));
  {
    Lock lock(log->mutex_);
    if (!log->Execute("PRAGMA journal_mode=WAL")) return fail(file + ": " + sqlite3_errmsg(db));
    // With WAL a crash of the program loses nothing either way; NORMAL leaves out the flush at every
    // commit, which only a power cut within a moment of the write could make count.
    log->Execute("PRAGMA synchronous=NORMAL");
    {
      // Scoped: a statement left open holds a read transaction, and a connection that holds one cannot
      // take the write lock while another copy writes (it fails at once, without the busy time-out).
      Statement check(db, "PRAGMA quick_check");
      if (check.Step() != SQLITE_ROW || check.Text(0) != "ok")
        return fail(file + ": damaged (" + (check.ok() ? check.Text(0) : sqlite3_errmsg(db)) + ")");
    }
    // One write transaction taken up front, so a copy opening meanwhile waits for it as a whole.
    if (!log->Execute("BEGIN IMMEDIATE") || !log->Execute(kSchema) || !log->AddMissingColumns() ||
        !log->Execute("COMMIT")) {
      const std::string why = sqlite3_errmsg(db);
      log->Execute("ROLLBACK");
      return fail(file + ": " + why);
    }
  }
  if (!log->Repair(WallClockNs() / 1'000'000, diagnostic)) return fail(file + ": cannot be checked");
  return log;
}

bool VisitorLog::Execute(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) == SQLITE_OK) return true;
  Diag(DiagLevel::Warning, "visitor log: %s: %s (%d)", sql, error != nullptr ? error : "?", sqlite3_extended_errcode(db_));
  sqlite3_free(error);
  return false;
}

bool VisitorLog::AddMissingColumns() {
  for (const auto& [name, type] : kAddedColumns) {
    bool present = false;
    {
      Statement find(db_, "SELECT 1 FROM pragma_table_info('visits') WHERE name = ?1");
      present = find.Bind(1, std::string(name)).Step() == SQLITE_ROW;
    }
    if (!present && !Execute(("ALTER TABLE visits ADD COLUMN " + std::string(name) + " " + type).c_str()))
      return false;
  }
  return true;
}

namespace {

bool Merge(sqlite3* db, long long id, const Visit& visit) {
  Statement merge(db, kMerge);
  merge.Bind(1, id).Bind(2, static_cast<long long>(visit.outcome)).Bind(3, visit.talkMs);
  merge.Bind(4, static_cast<long long>(visit.doorRelay)).Bind(5, visit.ended ? 1LL : 0LL);
  merge.Bind(6, static_cast<long long>(visit.doorAnswer));
  return merge.Run();
}

}  // namespace

long long VisitorLog::Record(const Visit& visit, const std::string& title, bool ownTitle) {
  const bool weak = !ownTitle || title.empty();
  Lock lock(mutex_);
  // IMMEDIATE takes the write lock before the look-up, so two copies cannot both miss the other's row.
  if (!Execute("BEGIN IMMEDIATE")) return 0;
  long long id = 0;
  {
    Statement find(db_,
                   "SELECT id FROM visits WHERE unit = ?1 AND start_ms BETWEEN ?2 - ?3 AND ?2 + ?3"
                   " AND (start_ms = ?2 OR (ended = 0 AND ?4 = 0)) ORDER BY abs(start_ms - ?2) LIMIT 1");
    // A caller turned away is a visit of its own, even while the unit's own call is on.
    const bool busy = visit.outcome == Outcome::Busy;
    find.Bind(1, visit.unit).Bind(2, visit.startMs).Bind(3, kJoinWindowMs).Bind(4, busy ? 1LL : 0LL);
    const int rc = find.Step();
    if (rc == SQLITE_ROW) {
      id = find.Int(0);
    } else if (rc == SQLITE_DONE) {
      Statement insert(db_, "INSERT INTO visits(unit, title, start_ms, weak_title) VALUES(?1, ?2, ?3, ?4)");
      if (insert.Bind(1, visit.unit).Bind(2, title).Bind(3, visit.startMs).Bind(4, weak ? 1LL : 0LL).Run())
        id = sqlite3_last_insert_rowid(db_);
    }
  }
  // The watching copy's title replaces the name the telephone's copy gave a unit it does not watch.
  if (id != 0 && !weak) {
    Statement name(db_, "UPDATE visits SET title = ?2, weak_title = 0 WHERE id = ?1 AND weak_title = 1");
    if (!name.Bind(1, id).Bind(2, title).Run()) id = 0;
  }
  if (id != 0 && !Merge(db_, id, visit)) id = 0;
  if (id != 0 && Execute("COMMIT")) return id;
  Execute("ROLLBACK");
  return 0;
}

bool VisitorLog::Update(long long id, const Visit& visit) {
  Lock lock(mutex_);
  return Merge(db_, id, visit) && sqlite3_changes(db_) == 1;
}

bool VisitorLog::AddPicture(long long id, int slot, const std::string& jpeg) {
  Lock lock(mutex_);
  long long startMs = 0;
  {
    Statement find(db_,
                   "SELECT start_ms, (SELECT count(*) FROM pictures WHERE visit = ?1 AND slot = ?2)"
                   " FROM visits WHERE id = ?1");
    if (find.Bind(1, id).Bind(2, slot).Step() != SQLITE_ROW) return false;
    if (find.Int(1) != 0) return true;
    startMs = find.Int(0);
  }
  const std::string relative = PictureRelativePath(startMs, id, slot);
  const std::string path = root_ + "/" + relative;
  if (!MakePrivateFolder(root_ + "/" + PictureFolder(relative)) || !ReplaceFile(path, jpeg, 0600)) return false;
  // The file is whole on the disk before any row names it; a visit deleted meanwhile names none.
  Statement insert(db_,
                   "INSERT OR IGNORE INTO pictures(visit, slot, path, bytes)"
                   " SELECT ?1, ?2, ?3, ?4 WHERE EXISTS(SELECT 1 FROM visits WHERE id = ?1)");
  if (!insert.Bind(1, id).Bind(2, slot).Bind(3, relative).Bind(4, static_cast<long long>(jpeg.size())).Run())
    return false;
  if (sqlite3_changes(db_) == 0) {
    Statement named(db_, "SELECT 1 FROM pictures WHERE path = ?1");
    if (named.Bind(1, relative).Step() != SQLITE_ROW) RemoveFile(path);
  }
  return true;
}

std::vector<std::string> VisitorLog::PicturePaths(long long id) {
  std::vector<std::string> paths;
  Statement list(db_, "SELECT path FROM pictures WHERE visit = ?1 ORDER BY slot");
  list.Bind(1, id);
  while (list.Step() == SQLITE_ROW) paths.push_back(root_ + "/" + list.Text(0));
  return paths;
}

std::vector<VisitRow> VisitorLog::Newest(int offset, int count) {
  Lock lock(mutex_);
  std::vector<VisitRow> rows;
  Statement list(db_,
                 "SELECT id, unit, title, start_ms, outcome, talk_ms, door, ended, seen, pictures_missing,"
                 " door_answer FROM visits ORDER BY start_ms DESC, id DESC LIMIT ?2 OFFSET ?1");
  list.Bind(1, offset).Bind(2, count);
  while (list.Step() == SQLITE_ROW) {
    VisitRow row;
    row.id = list.Int(0);
    row.visit.unit = list.Text(1);
    row.title = list.Text(2);
    row.visit.startMs = list.Int(3);
    row.visit.outcome = static_cast<Outcome>(list.Int(4));
    row.visit.talkMs = list.Int(5);
    row.visit.doorRelay = static_cast<int>(list.Int(6));
    row.visit.ended = list.Int(7) != 0;
    row.seen = list.Int(8) != 0;
    row.picturesMissing = list.Int(9) != 0;
    row.visit.doorAnswer = static_cast<int>(list.Int(10));
    rows.push_back(std::move(row));
  }
  for (VisitRow& row : rows) row.pictures = PicturePaths(row.id);
  return rows;
}

std::optional<std::string> VisitorLog::ClaimMissedNotice(long long id) {
  Lock lock(mutex_);
  Statement claim(db_,
                  "UPDATE visits SET noticed = 1 WHERE id = ?1 AND outcome = 1 AND ended = 1 AND noticed = 0"
                  " RETURNING title");
  if (claim.Bind(1, id).Step() != SQLITE_ROW) return std::nullopt;
  return claim.Text(0);
}

int VisitorLog::UnseenMissedCount() {
  Lock lock(mutex_);
  Statement count(db_, "SELECT count(*) FROM visits WHERE outcome = 1 AND seen = 0");
  return count.Step() == SQLITE_ROW ? static_cast<int>(count.Int(0)) : 0;
}

bool VisitorLog::MarkMissedSeen() {
  Lock lock(mutex_);
  return Execute("UPDATE visits SET seen = 1 WHERE outcome = 1 AND seen = 0");
}

}  // namespace visitors
