// The visitor log: visits and their pictures in a SQLite database that every running copy writes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/annotated_mutex.h"
#include "visitors/visit.h"

struct sqlite3;

namespace visitors {

// One row of the log as the window shows it.
struct VisitRow {
  long long id = 0;
  Visit visit;
  std::string title;                  // the unit's title when the visit was recorded
  bool seen = false;                  // a missed visit the person has looked at
  bool picturesMissing = false;       // a picture named by the row was gone when the log was opened
  std::vector<std::string> pictures;  // absolute paths, the first picture first
};

// The limits of the log (section Visitors of the settings file); 0 turns a limit off.
struct KeepLimits {
  int days = 90;
  long long bytes = 1024LL * 1024 * 1024;
};

// The log in folder root (VisitorLogRoot() in the program): root/visitors.sqlite3 and the pictures in
// root/visitors/YYYY/MM/DD/. Several processes may hold it open and write at once: each write is one
// transaction, and a writer waits for another's lock (a busy time-out) rather than fail. Calls are
// serialised by a lock, so any thread may call; they touch the disk, so keep them off the window
// thread. Failures never throw: they return false (or nothing) with a diagnostic on stderr.
class VisitorLog {
 public:
  // Opens (creating when missing) the log and sets it right after a crash: flags rows whose pictures
  // are gone and removes the pictures no row names that are older than an hour (a younger one may be
  // one another copy is about to name). nullptr when the database is damaged or cannot be opened or
  // made; *diagnostic then says why, and the program runs with the log off.
  static std::unique_ptr<VisitorLog> Open(const std::string& root, std::string* diagnostic);
  ~VisitorLog();
  VisitorLog(const VisitorLog&) = delete;
  VisitorLog& operator=(const VisitorLog&) = delete;

  // The visit's row id, made when no row of the unit starts within 30 s of visit.startMs (so copies
  // that saw the same flag a moment apart, or only the invitation, make one visit) and is still open or
  // starts at the very same time (the call's times come from the telephone, the same for every copy),
  // else that row's id; a visitor who rings again after a visit ended, or who is turned away busy, makes a
  // visit of their own, with the outcome
  // and door merged in as Update does. 0 on failure.
  // ownTitle: title is the unit's own (a copy watching it); otherwise it is only the caller's name, which
  // a watching copy's title later replaces.
  long long Record(const Visit& visit, const std::string& title, bool ownTitle = true);
  // Merges what is known now into the row: the outcome when it orders after the stored one (visit.h),
  // the talk's length with "answered", the first relay pressed, the door answer when it tells more.
  bool Update(long long id, const Visit& visit);
  // Stores a picture of the visit (slot 0: the first after the start, 1: two seconds later) exactly as
  // received. The file is written whole and renamed into place before the row names it, so a crash
  // leaves no row without its picture. A slot that another copy has filled already is kept.
  bool AddPicture(long long id, int slot, const std::string& jpeg);

  // The visit's title for exactly one caller once the visit has ended missed, else nothing: copies that
  // recorded the same visit tell the desktop of it once.
  std::optional<std::string> ClaimMissedNotice(long long id);

  // Newest first, count rows from offset.
  std::vector<VisitRow> Newest(int offset, int count);
  int UnseenMissedCount();
  bool MarkMissedSeen();
  bool Delete(long long id);
  bool DeleteAll();
  // Removes whole visits, oldest first: those older than limits.days before now, then more until the
  // pictures and the database together take at most limits.bytes. Returns how many visits went, -1 on
  // failure.
  int Prune(TimeMs now, const KeepLimits& limits);

  const std::string& root() const { return root_; }

 private:
  VisitorLog(std::string root, sqlite3* db);
  bool Execute(const char* sql) REQUIRES(mutex_);
  // Within the open's write transaction, so copies opening an older file at once add each column once.
  bool AddMissingColumns() REQUIRES(mutex_);
  bool Repair(TimeMs now, std::string* diagnostic) EXCLUDES(mutex_);
  bool DeleteVisits(const std::vector<long long>& ids) REQUIRES(mutex_);
  std::vector<std::string> PicturePaths(long long id) REQUIRES(mutex_);

  const std::string root_;
  Mutex mutex_;
  sqlite3* const db_ PT_GUARDED_BY(mutex_);
};

// $XDG_DATA_HOME/Kestrova, else ~/.local/share/Kestrova.
std::string VisitorLogRoot();

}  // namespace visitors
