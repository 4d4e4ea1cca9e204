// The worker that writes the visitor log: it opens the log, records visits and pictures in the order they
// were handed in, and prunes at start and every hour, all off the window thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>

#include "platform/core/annotated_mutex.h"
#include "visitors/visitor_log.h"

namespace visitors {

class VisitWriter {
 public:
  // Called on the worker thread; each must hand what it does to the thread it belongs to.
  struct Hooks {
    std::function<void(std::shared_ptr<VisitorLog>)> opened;  // the log opened (nullptr: it is off)
    std::function<void()> changed;                            // visits were written or pruned
    // A visit ended missed, and this copy is the one to tell the desktop of it.
    std::function<void(const std::string& title, TimeMs startMs)> missed;
  };

  // Starts the worker, which opens the log in root. Without a thread the log stays off.
  VisitWriter(std::string root, KeepLimits limits, Hooks hooks);
  // Writes what was handed in (each write bounded by the log's busy time-out), then ends.
  ~VisitWriter();
  VisitWriter(const VisitWriter&) = delete;
  VisitWriter& operator=(const VisitWriter&) = delete;

  // Records the visit's state (made or merged); title names the unit in the window (ownTitle: see
  // VisitorLog::Record).
  void Store(const Visit& visit, const std::string& title, bool ownTitle = true);
  // Stores a picture of the visit keyed by unit and start (slot 0 the first, 1 two seconds later).
  void Picture(const std::string& unit, TimeMs startMs, int slot, std::string jpeg, const std::string& title);
  // Prunes now (as at start and every hour).
  void Prune();

 private:
  using Job = std::function<void(VisitorLog&)>;
  void Push(Job job);
  void Run(std::stop_token stop);
  long long IdOf(VisitorLog& log, const Visit& visit, const std::string& title, bool ownTitle);

  const std::string root_;
  const KeepLimits limits_;
  const Hooks hooks_;
  Mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<Job> jobs_ GUARDED_BY(mutex_);
  bool stopping_ GUARDED_BY(mutex_) = false;
  // Worker thread only: the rows of the visits this copy wrote, by unit and start.
  std::map<std::pair<std::string, TimeMs>, long long> ids_;
  std::jthread thread_;
};

}  // namespace visitors
