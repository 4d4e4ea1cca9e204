// The visitor log's upkeep: deleting visits with their pictures, pruning to the limits, the check at open.
#include <sqlite3.h>

#include <set>

#include "platform/core/folders.h"
#include "platform/core/private_files.h"
#include "visitors/sqlite_statement.h"
#include "visitors/visitor_log.h"

namespace visitors {

namespace {

constexpr long long kDayMs = 24LL * 3600 * 1000;
// A picture no row names may be one another copy has renamed into place and is about to name.
constexpr long long kOrphanAgeNs = 3600LL * 1000 * 1000 * 1000;
// Bounds the walk at open; far beyond what the default limits keep.
constexpr std::size_t kMaxFilesWalked = 1'000'000;

}  // namespace

bool VisitorLog::DeleteVisits(const std::vector<long long>& ids) {
  if (ids.empty()) return true;
  if (!Execute("BEGIN IMMEDIATE")) return false;
  std::vector<std::string> paths;
  bool ok = true;
  for (long long id : ids) {
    for (std::string& path : PicturePaths(id)) paths.push_back(std::move(path));
    Statement pictures(db_, "DELETE FROM pictures WHERE visit = ?1");
    Statement visit(db_, "DELETE FROM visits WHERE id = ?1");
    ok = ok && pictures.Bind(1, id).Run() && visit.Bind(1, id).Run();
  }
  if (!ok || !Execute("COMMIT")) {
    Execute("ROLLBACK");
    return false;
  }
  // Files go after the rows: a crash in between leaves pictures no row names, which the next open removes.
  for (const std::string& path : paths) RemoveFile(path);
  return true;
}

bool VisitorLog::Delete(long long id) {
  Lock lock(mutex_);
  return DeleteVisits({id});
}

bool VisitorLog::DeleteAll() {
  Lock lock(mutex_);
  std::vector<long long> ids;
  {
    // Finished before the deletion: an open statement's read transaction would keep it from the write
    // lock whenever another copy has written since.
    Statement all(db_, "SELECT id FROM visits");
    while (all.Step() == SQLITE_ROW) ids.push_back(all.Int(0));
  }
  return DeleteVisits(ids);
}

int VisitorLog::Prune(TimeMs now, const KeepLimits& limits) {
  Lock lock(mutex_);
  std::vector<long long> ids;
  long long total = 0;
  {
    Statement size(db_,
                   "SELECT (SELECT coalesce(sum(bytes), 0) FROM pictures),"
                   " (SELECT page_count - freelist_count FROM pragma_page_count(), pragma_freelist_count())"
                   " * (SELECT page_size FROM pragma_page_size())");
    if (size.Step() != SQLITE_ROW) return -1;
    total = size.Int(0) + size.Int(1);
  }
  {  // finished before the deletion, as in DeleteAll
    const TimeMs cutoff = limits.days > 0 ? now - limits.days * kDayMs : INT64_MIN;
    Statement oldest(db_,
                     "SELECT v.id, v.start_ms, (SELECT coalesce(sum(bytes), 0) FROM pictures WHERE visit = v.id)"
                     " FROM visits v ORDER BY v.start_ms, v.id");
    for (int rc = oldest.Step(); rc == SQLITE_ROW; rc = oldest.Step()) {
      const bool tooOld = oldest.Int(1) < cutoff;
      const bool tooBig = limits.bytes > 0 && total > limits.bytes;
      if (!tooOld && !tooBig) break;
      ids.push_back(oldest.Int(0));
      total -= oldest.Int(2);
    }
  }
  return DeleteVisits(ids) ? static_cast<int>(ids.size()) : -1;
}

bool VisitorLog::Repair(TimeMs now, std::string* diagnostic) {
  Lock lock(mutex_);
  std::set<std::string> named;
  std::vector<long long> missing;
  {
    Statement pictures(db_, "SELECT visit, path FROM pictures");
    int rc;
    while ((rc = pictures.Step()) == SQLITE_ROW) {
      const std::string path = root_ + "/" + pictures.Text(1);
      if (!PathExists(path.c_str())) missing.push_back(pictures.Int(0));
      named.insert(path);
    }
    if (rc != SQLITE_DONE) {
      if (diagnostic != nullptr) *diagnostic = sqlite3_errmsg(db_);
      return false;
    }
  }
  for (long long id : missing) {
    Statement flag(db_, "UPDATE visits SET pictures_missing = 1 WHERE id = ?1");
    flag.Bind(1, id).Run();
  }
  const long long nowNs = now * 1'000'000;
  for (const FileBelow& file : ListFilesBelow(root_ + "/visitors", kMaxFilesWalked))
    if (!named.contains(file.path) && nowNs - file.modifiedNs > kOrphanAgeNs) RemoveFile(file.path);
  return true;
}

}  // namespace visitors
