// Stream parser throughput over a recorded stream of JPEG-sized parts, fed in 1024-byte blocks like the
// reader does.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "video/stream/mjpeg_parser.h"

namespace {

constexpr double kGoalBytesPerSecond = 1e9;  // 1 GB/s: far above any stream a unit sends

// 40 to 120 KB pictures (what 640x480 to 1280x720 units send), flags and titles changing.
const std::string& RecordedStream() {
  static const std::string stream = [] {
    std::mt19937 rng(11);
    std::string s;
    for (int i = 0; s.size() < 64u * 1024 * 1024; ++i) {
      std::string picture(40000 + rng() % 80000, '\0');
      for (char& c : picture) c = static_cast<char>(rng() & 0xFF);
      picture[0] = static_cast<char>(0xFF);
      s += "\r\n--frame\r\n";
      s += HLAVICKA;
      s += std::to_string(picture.size());
      s += "\r\nX-Call-State: ";
      s += "01"[i % 2];
      s += "\r\nTitle: Front door " + std::to_string(i) + "\r\n\r\n";
      s += picture;
    }
    return s;
  }();
  return stream;
}

// Copies every picture byte once, as the reader hands them to the picture file: the parser itself
// never touches the bytes of a picture, so counting alone would measure nothing but the headers.
class CopyingEvents final : public MjpegEvents {
 public:
  CopyingEvents() : picture(kMaxPictureLength) {}
  void PictureBytes(const char* data, int len) override {
    std::memcpy(picture.data() + bytes, data, static_cast<std::size_t>(len));
    bytes += static_cast<std::size_t>(len);
  }
  void CallFlag(char flag) override { flags += flag; }
  void TitleComplete(const char*, int len) override { titleBytes += static_cast<std::size_t>(len); }
  bool PictureComplete() override {
    ++pictures;
    bytes = 0;
    return true;
  }
  void PartAbandoned() override { ++abandoned; }

  std::vector<char> picture;
  std::size_t bytes = 0, titleBytes = 0, pictures = 0, abandoned = 0;
  int flags = 0;
};

void BM_ParserBlocks(benchmark::State& state) {
  const std::string& stream = RecordedStream();
  const int block = static_cast<int>(state.range(0));
  CopyingEvents events;
  for (auto _ : state) {
    MjpegParser parser;
    events.pictures = events.abandoned = 0;
    for (std::size_t at = 0; at < stream.size(); at += static_cast<std::size_t>(block)) {
      const int len =
          static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), stream.size() - at));
      parser.Feed(stream.data() + at, len, events);
    }
    benchmark::DoNotOptimize(events.picture.data());
    benchmark::ClobberMemory();
    if (events.abandoned != 0) state.SkipWithError("parts were abandoned");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_ParserBlocks)->Arg(1024)->Unit(benchmark::kMillisecond)->MinTime(1.0);

class CapturingReporter : public benchmark::ConsoleReporter {
 public:
  // No colours: their escape codes would precede the summary line that scripts read.
  CapturingReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      auto it = run.counters.find("bytes_per_second");
      if (it != run.counters.end() && !run.error_occurred) bytesPerSecond = it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double bytesPerSecond = 0;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CapturingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::cout.flush();
  std::printf("parser_throughput ratio=%.2f measured=%.2f GB/s goal=1.00 GB/s block=1024 stream=%zu bytes\n",
              reporter.bytesPerSecond / kGoalBytesPerSecond, reporter.bytesPerSecond / 1e9,
              RecordedStream().size());
  return 0;
}
