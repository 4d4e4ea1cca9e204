// The cost of recording a visit: the window thread's share (the rules and handing the writes over), the
// reader's share per picture (keeping the last picture), and the worker's share (the rows and two
// pictures written to a real SQLite file), against a fixed goal for each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "visitors/picture_capture.h"
#include "visitors/visit_rules.h"
#include "visitors/visitor_log.h"

namespace {

using visitors::TimeMs;

// Goals: a visit costs the window thread under 0.1 ms, a picture the reader under 0.01 ms (at 25
// pictures/s, a thousandth of a frame), and the worker under 20 ms per visit with its two pictures.
constexpr double kWindowGoalNs = 100e3, kReaderGoalNs = 10e3, kWorkerGoalNs = 20e6;
const std::string kPicture(60000, 'j');  // a 640x480 picture

void BM_WindowThreadPerVisit(benchmark::State& state) {
  visitors::VisitRules rules;
  TimeMs now = 1'700'000'000'000;
  std::size_t changes = 0;
  for (auto _ : state) {
    rules.Flag("192.168.1.250", 1, now);
    rules.Invitation("192.168.1.250", now + 500);
    changes += rules.TakeChanged().size();
    rules.Answered("192.168.1.250", now + 3000);
    rules.CallEnded("192.168.1.250", now + 40000);
    rules.Flag("192.168.1.250", 0, now + 41000);
    rules.RelayPressed("192.168.1.250", 1, now + 42000, 1);
    changes += rules.TakeChanged().size();
    rules.Forget(now += 600'000);
  }
  benchmark::DoNotOptimize(changes);
}
BENCHMARK(BM_WindowThreadPerVisit);

void BM_ReaderPerPicture(benchmark::State& state) {
  std::size_t kept = 0;
  visitors::PictureCapture capture(
      [&](const std::string&, TimeMs, int, std::string jpeg) { kept += jpeg.size(); });
  std::string buffer = kPicture;
  TimeMs now = 1'700'000'000'000;
  for (auto _ : state) {
    // The reader refills the buffer it gets back, as it does with every picture.
    buffer.assign(kPicture);
    capture.Complete(buffer, now += 40);
  }
  benchmark::DoNotOptimize(kept);
}
BENCHMARK(BM_ReaderPerPicture);

void BM_WorkerPerVisit(benchmark::State& state) {
  const std::string root =
      (std::filesystem::temp_directory_path() / ("visit_bench." + std::to_string(getpid()))).string();
  std::string why;
  auto log = visitors::VisitorLog::Open(root, &why);
  if (!log) {
    state.SkipWithError(why.c_str());
    return;
  }
  TimeMs start = 1'700'000'000'000;
  for (auto _ : state) {
    visitors::Visit visit{"192.168.1.250", start += 600'000};
    const long long id = log->Record(visit, "Front door");
    log->AddPicture(id, 0, kPicture);
    log->AddPicture(id, 1, kPicture);
    visit.outcome = visitors::Outcome::Answered;
    visit.ended = true;
    log->Update(id, visit);
  }
  log.reset();
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_WorkerPerVisit)->Unit(benchmark::kMillisecond);

class CapturingReporter : public benchmark::ConsoleReporter {
 public:
  CapturingReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred) ns[run.benchmark_name()] = run.GetAdjustedRealTime() * Scale(run.time_unit);
    ConsoleReporter::ReportRuns(runs);
  }
  static double Scale(benchmark::TimeUnit unit) {
    return unit == benchmark::kMillisecond ? 1e6 : unit == benchmark::kMicrosecond ? 1e3 : 1;
  }
  std::map<std::string, double> ns;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CapturingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::cout.flush();
  const struct {
    const char* name;
    const char* bench;
    double goal;
  } cases[] = {{"visit_window_thread", "BM_WindowThreadPerVisit", kWindowGoalNs},
               {"visit_reader_per_picture", "BM_ReaderPerPicture", kReaderGoalNs},
               {"visit_worker", "BM_WorkerPerVisit", kWorkerGoalNs}};
  for (const auto& c : cases) {
    const double ns = reporter.ns[c.bench];
    std::printf("%s ratio=%.3f measured=%.3f ms goal=%.3f ms\n", c.name, ns / c.goal, ns / 1e6, c.goal / 1e6);
  }
  return 0;
}
