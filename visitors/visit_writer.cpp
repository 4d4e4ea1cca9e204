// The visitor log's worker thread.
#include "visitors/visit_writer.h"

#include <chrono>

#include "platform/core/diagnostics.h"
#include "platform/core/private_files.h"
#include "platform/core/start_thread.h"

namespace visitors {

namespace {
constexpr auto kPrunePeriod = std::chrono::hours(1);
constexpr std::size_t kRememberedIds = 64;
TimeMs NowMs() { return WallClockNs() / 1'000'000; }
}  // namespace

VisitWriter::VisitWriter(std::string root, KeepLimits limits, Hooks hooks)
    : root_(std::move(root)), limits_(limits), hooks_(std::move(hooks)) {
  thread_ = StartThread([this](std::stop_token stop) { Run(stop); });
  if (!thread_.joinable() && hooks_.opened) hooks_.opened(nullptr);
}

VisitWriter::~VisitWriter() {
  {
    Lock lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void VisitWriter::Push(Job job) {
  {
    Lock lock(mutex_);
    if (stopping_) return;
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

long long VisitWriter::IdOf(VisitorLog& log, const Visit& visit, const std::string& title, bool ownTitle) {
  const auto key = std::make_pair(visit.unit, visit.startMs);
  if (auto it = ids_.find(key); it != ids_.end()) return it->second;
  const long long id = log.Record(visit, title, ownTitle);
  if (id == 0) return 0;
  // Visits end within minutes; an old entry is only a look-up saved.
  if (ids_.size() >= kRememberedIds) ids_.erase(ids_.begin());
  ids_[key] = id;
  return id;
}

void VisitWriter::Store(const Visit& visit, const std::string& title, bool ownTitle) {
  Push([this, visit, title, ownTitle](VisitorLog& log) {
    const long long id = IdOf(log, visit, title, ownTitle);
    if (id == 0 || !log.Update(id, visit)) return;
    if (hooks_.changed) hooks_.changed();
    if (visit.ended && visit.outcome == Outcome::Missed && hooks_.missed)
      if (const std::optional<std::string> shown = log.ClaimMissedNotice(id)) hooks_.missed(*shown, visit.startMs);
  });
}

void VisitWriter::Picture(const std::string& unit, TimeMs startMs, int slot, std::string jpeg,
                          const std::string& title) {
  Push([this, unit, startMs, slot, jpeg = std::move(jpeg), title](VisitorLog& log) {
    Visit visit;
    visit.unit = unit;
    visit.startMs = startMs;
    const long long id = IdOf(log, visit, title, true);
    if (id != 0 && log.AddPicture(id, slot, jpeg) && hooks_.changed) hooks_.changed();
  });
}

void VisitWriter::Prune() {
  Push([this](VisitorLog& log) {
    if (log.Prune(NowMs(), limits_) > 0 && hooks_.changed) hooks_.changed();
  });
}

void VisitWriter::Run(std::stop_token) {
  std::string why;
  std::shared_ptr<VisitorLog> log = VisitorLog::Open(root_, &why);
  if (hooks_.opened) hooks_.opened(log);
  if (log == nullptr) {
    Lock lock(mutex_);
    stopping_ = true;
    jobs_.clear();
    return;
  }
  Prune();
  for (;;) {
    Job job;
    {
      Lock lock(mutex_);
      const bool woken = lock.WaitFor(wake_, std::chrono::duration_cast<std::chrono::milliseconds>(kPrunePeriod),
                                      [this]() REQUIRES(mutex_) { return stopping_ || !jobs_.empty(); });
      if (!woken) {
        jobs_.push_back([this](VisitorLog& l) {
          if (l.Prune(NowMs(), limits_) > 0 && hooks_.changed) hooks_.changed();
        });
      }
      if (jobs_.empty()) return;  // stopping, and everything handed in is written
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job(*log);
  }
}

}  // namespace visitors
