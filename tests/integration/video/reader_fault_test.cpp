// The video reader against every way the simulated unit misbehaves: no crash, no hang, recovery, no bad
// picture shown.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/integration/video/reader_fixture.h"
#include "video/reader_thread.h"

namespace {

using doorsim::FaultMode;
using video_test::ReaderTest;

long FileSize(const char* path) {
  struct stat st {};
  return stat(path, &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

struct FaultCase {
  FaultMode mode;
  const char* name;
  // What the reader shows while the unit misbehaves.
  std::function<bool(ReaderTest&, int completedAtFault, std::uint64_t sentAtFault)> effect;
  int timeoutMs = 10000;
  bool reconnect = false;  // the fault shows only on a new connection: ask the reader to reconnect
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class ReaderFaults : public ReaderTest, public ::testing::WithParamInterface<FaultCase> {
 public:
  int CompletedNow() const { return Completed(); }
  std::string Text() const { return WindowText(); }
  unsigned startsAtFault = 0;

  // No picture completes any more once the parts the reader had buffered are through, and the
  // picture file holds nothing of the parts given up.
  bool NoPicturesAfterwards(std::uint64_t sentAtFault) {
    const std::uint64_t sent = unit->PicturesSent();
    if (lastCompleted != Completed() || sentSinceLast == 0) {
      lastCompleted = Completed();
      sentSinceLast = std::max(sent, sentAtFault);
    }
    return sent >= sentSinceLast + 10 && FileSize(NameJPEG) == 0;
  }
  int lastCompleted = -1;
  std::uint64_t sentSinceLast = 0;
};

bool PicturesGoOn(ReaderTest& t, int at, std::uint64_t) {
  return static_cast<ReaderFaults&>(t).CompletedNow() >= at + 5;
}

bool ReaderEnded(ReaderTest& t, int, std::uint64_t) {
  return ShowData.Kill_TCP && static_cast<ReaderFaults&>(t).Text() == "Kestrova_1.39";
}

TEST_P(ReaderFaults, TheReaderCopesAndRecovers) {
  const FaultCase& c = GetParam();
  StartUnit();
  ShowWindow(g_hwndMain, SW_SHOW);
  StartReaderThread();
  ASSERT_TRUE(WaitFor([&] { return Completed() >= 3 && WindowText() == "Front door"; }));

  doorsim::Fault f;
  f.mode = c.mode;
  f.after = 2;
  f.pause = 1;
  unit->SetFault(f);
  startsAtFault = ReaderThreadsStarted();
  if (c.reconnect) ShowData.Kill_TCP = TRUE;  // as the settings dialog does
  const int completedAtFault = Completed();
  const std::uint64_t sentAtFault = unit->PicturesSent();
  EXPECT_TRUE(WaitFor([&] { return c.effect(*this, completedAtFault, sentAtFault); }, c.timeoutMs)) << c.name;

  SetFault(FaultMode::None);
  const int completedAtRecovery = Completed();
  EXPECT_TRUE(WaitFor(
      [&] {
        return !ShowData.Kill_TCP && WindowText() == "Front door" && Completed() >= completedAtRecovery + 5;
      },
      15000))
      << c.name << ": no recovery";
}

const FaultCase kCases[] = {
    {FaultMode::Garbage, "garbage", PicturesGoOn},
    {FaultMode::Split, "split", PicturesGoOn},
    {FaultMode::Chunked, "chunked", PicturesGoOn},
    {FaultMode::ShortLen, "shortlen", PicturesGoOn},
    {FaultMode::LongLen, "longlen", PicturesGoOn},  // every second part is lost to the too long one before it
    {FaultMode::NoDigit, "nodigit", PicturesGoOn},  // empty pictures, which the display does not draw
    {FaultMode::HugeLen, "hugelen",                 // every part is given up at its length
     [](ReaderTest& t, int, std::uint64_t sent) {
       return static_cast<ReaderFaults&>(t).NoPicturesAfterwards(sent);
     }},
    {FaultMode::NotFF, "notff",  // every part is given up at its first picture byte
     [](ReaderTest& t, int, std::uint64_t sent) {
       return static_cast<ReaderFaults&>(t).NoPicturesAfterwards(sent);
     }},
    {FaultMode::LongTitle, "longtitle",
     [](ReaderTest& t, int, std::uint64_t) {
       const std::string text = static_cast<ReaderFaults&>(t).Text();
       return text.size() == 63 && text.starts_with("Front door ABC");
     }},
    {FaultMode::CtrlTitle, "ctrltitle",
     [](ReaderTest& t, int, std::uint64_t) {
       const std::string text = static_cast<ReaderFaults&>(t).Text();
       if (text.size() <= 10 || !text.starts_with("Front door")) return false;
       for (unsigned char ch : text)
         if (ch < 0x20 || ch == 0x7F) return false;
       return text.ends_with(" end");
     }},
    {FaultMode::ErrorPage, "errorpage",
     [](ReaderTest& t, int at, std::uint64_t) {
       // Readers come and go on the error page, and none of them finds a picture in it.
       auto& r = static_cast<ReaderFaults&>(t);
       return ReaderThreadsStarted() >= r.startsAtFault + 3 && ReaderEnded(t, at, 0);
     },
     10000, true},
    {FaultMode::Refuse, "refuse", ReaderEnded},
    {FaultMode::Close, "close", ReaderEnded},
    {FaultMode::Stall, "stall", ReaderEnded, 20000},  // a silent unit: the read fails after its time-out
};

INSTANTIATE_TEST_SUITE_P(EveryFault, ReaderFaults, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
