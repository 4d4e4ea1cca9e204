// The relay buttons and their commands against the door simulator, in the program's window with its
// video: what reaches the unit, what an answer or its absence shows, the video's return, shutdown.
#include "door/relay.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "door/relay_workers.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/program.h"
#include "tests/support/gui/program_window.h"
#include "tools/doorsim/doorsim.h"
#include "video/download_mjpeg.h"
#include "video/reader_thread.h"
#include "window/button_actions.h"
#include "window/window_proc.h"

namespace {

using namespace std::chrono_literals;
using doorsim::FaultMode;

constexpr int kCountStart = -1000000;  // far from the periodic reconnect
std::atomic<int> paints{0};            // repaints the relay commands asked for

// A loopback socket bound to a free port; with backlog 0 and its one queue place taken by a connection
// that is never accepted, the kernel drops further connection requests, as a unit that is switched off.
// Not dropping, it is closed: connections are refused.
struct Port {
  explicit Port(bool dropping) {
    sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t len = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    number = ntohs(a.sin_port);
    if (!dropping) close(std::exchange(fd, -1));
    if (dropping && listen(fd, 0) == 0) connect(filler, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  ~Port() {
    close(filler);
    if (fd >= 0) close(fd);
  }
  std::string Address() const { return "127.0.0.1:" + std::to_string(number); }
  int fd = socket(AF_INET, SOCK_STREAM, 0), filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
  int number = 0;
};

void SetAddress(const std::string& address) {
  std::lock_guard lock(IP_addrMutex());
  std::strncpy(IP_addr, address.c_str(), sizeof IP_addr - 1);
}

bool Done() { return RelayPressesPending() == 0; }
int Pictures() { return PocetSnimku - kCountStart; }

// What the surface shows at a point inside piece `at`'s place, and what piece `piece` has there.
std::uint32_t ShownAt(int at) { return CopySurface(g_hwndMain).at(Skin[at].PosY + 36, Skin[at].PosX + 17); }
std::uint32_t PieceAt(int piece) { return GetBitmapPixel(Skin[piece].ShBitmap, 36, 17); }

bool NoticeShown() {
  const SurfaceCopy s = CopySurface(g_hwndMain);
  int yellow = 0;
  for (int y = 30; y < 46; ++y)
    for (int x = 20; x < 200; ++x) yellow += (s.at(x, y) & 0xE0E000) == 0xE0E000 && (s.at(x, y) & 0xFF) < 90;
  return yellow > 20;
}

class RelayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    test_support::EnsurePlatform();
  }

  void SetUp() override {
    test_support::RegisterProgramClass(WindowProcMain, kClassName);
    PocetSnimku = kCountStart;
    paints = 0;
    ASSERT_NE(test_support::OpenProgramWindow(tmp, kClassName), HWND_NONE);
    SetRelayPainter([](t_ShowData data) {
      ++paints;
      ShowMyWindow(g_hwndMain, data);
    });
    doorsim::Options o;
    o.width = 160, o.height = 120, o.fps = 8;
    unit = std::make_unique<doorsim::Server>(o);
    ASSERT_TRUE(unit->Start()) << unit->LastError();
    SetAddress(unit->Address());
  }

  void TearDown() override {  // in the order of the program's shutdown
    AbandonRelayCommands(5s);
    AskReaderToStop();
    AwaitReaderEnd();
    test_support::CloseProgramWindow();
    SetRelayPainter(nullptr);
    unit->Stop();
  }

  void SetFault(FaultMode mode, int status = 404) { unit->SetFault({.mode = mode, .status = status}); }

  bool WaitFor(const std::function<bool()>& pred) { return test_support::PumpUntilFn(pred, 20000); }
  // Waits until no press is pending and relay `relay` has been switched `times` times in all.
  bool Switched(int relay, int times) {
    return WaitFor([&] { return unit->RelayCount(relay) == times && Done(); });
  }
  // A click on relay button `over`, which shows its hovered look in the place of `up` at once.
  void Click(int over, int up) {
    MyLButtonUp(over);
    EXPECT_EQ(ShownAt(up), PieceAt(over)) << "no hovered look";
  }

  void StartVideo() {
    ShowWindow(g_hwndMain, SW_SHOW);
    StartReaderThread();
    ASSERT_TRUE(WaitFor([] { return !ShowData.Kill_TCP && Pictures() >= 2 && !NoticeShown(); }))
        << "no video";
  }

  test_support::TempFolder tmp;
  std::unique_ptr<doorsim::Server> unit;
};

TEST_F(RelayTest, EachPressReachesTheUnitOnceAndAnyAnswerLeavesTheVideoAlone) {
  ASSERT_NO_FATAL_FAILURE(StartVideo());
  ASSERT_NE(PieceAt(SKIN_BR_B1_OVER), PieceAt(SKIN_BR_B1_UP));
  Click(SKIN_BR_B1_OVER, SKIN_BR_B1_UP);
  ASSERT_TRUE(Switched(1, 1));
  EXPECT_EQ(unit->LastUserAgent(), "Kestrova_1.39");
  // Two quick presses are two requests.
  for (int i = 0; i < 2; ++i) Click(SKIN_BR_B2_OVER, SKIN_BR_B2_UP);
  ASSERT_TRUE(Switched(2, 2));

  // The whole address goes into the URL: 63 characters, with zeros in front of a number, read as a
  // decimal number as a person reads it (the URL library alone would take "0127" as octal 87).
  const std::string port = unit->Address().substr(unit->Address().find(':'));
  SetAddress("0127." + std::string(54 - port.size(), '0') + ".0.1" + port);
  ASSERT_EQ(std::strlen(IP_addr), 63u);
  MyLButtonUp(SKIN_BR_B1_OVER);
  ASSERT_TRUE(Switched(1, 2));
  SetAddress(unit->Address());

  // Error pages are answers: the unit switches nothing, and nothing changes here.
  for (int status : {404, 500}) {
    SetFault(FaultMode::ErrorPage, status);
    MyLButtonUp(SKIN_BR_B1_OVER);
    ASSERT_TRUE(WaitFor(Done));
  }
  EXPECT_EQ(unit->RelayCount(1), 2);
  EXPECT_TRUE(!ShowData.Kill_TCP && paints == 0 && !NoticeShown());
}

TEST_F(RelayTest, WithoutVideoOrWithoutAnAnswerTheWindowShowsTheNoticeEvenWhenHiddenAndTheVideoReturns) {
  // No video yet: a command that succeeds repaints, and the hidden window comes into view.
  ASSERT_FALSE(IsWindowVisible(g_hwndMain));
  ASSERT_TRUE(ShowData.Kill_TCP);
  StartRelay(2);
  ASSERT_TRUE(Switched(2, 1));
  EXPECT_TRUE(paints == 1 && IsWindowVisible(g_hwndMain) && NoticeShown()) << paints;

  ASSERT_NO_FATAL_FAILURE(StartVideo());
  ShowWindow(g_hwndMain, SW_HIDE);
  // A unit that refuses the connection: the hidden window comes back with the notice.
  SetAddress(Port(false).Address());
  StartRelay(1);
  SetAddress(unit->Address());
  ASSERT_TRUE(WaitFor([] { return paints == 2 && Done(); }));
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));
  // The reader dropped its connection, and timer 0 brings the video back.
  const int before = Pictures();
  EXPECT_TRUE(WaitFor([&] { return !ShowData.Kill_TCP && Pictures() >= before + 3 && !NoticeShown(); }))
      << "the video did not come back";
  EXPECT_EQ(unit->RelayCount(1), 0);
}

TEST_F(RelayTest, UnitsThatRefuseDropOrNeverAnswerFailWithinTheTimeOuts) {
  const Port refusing(false), dropping(true);
  SetFault(FaultMode::Stall);
  const std::string addresses[] = {refusing.Address(), dropping.Address(), unit->Address()};
  std::atomic<int> answered[3] = {-1, -1, -1};
  std::vector<std::jthread> threads;
  for (int i = 0; i < 3; ++i)
    threads.emplace_back([&, i] { answered[i] = SendRelayCommand(1, addresses[i].c_str(), {}); });
  // Bounded by the connection time-out and the request's limit.
  EXPECT_TRUE(test_support::PollUntil(
      [&] { return answered[0] != -1 && answered[1] != -1 && answered[2] != -1; }, 40s));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(answered[i], FALSE) << addresses[i];
  threads.clear();
  EXPECT_EQ(unit->RelayCount(1), 0);
}

TEST_F(RelayTest, ABurstWaitsForFreeWorkersLosesNoPressAndShutdownCutsCommandsOff) {
  ShowData.Kill_TCP = FALSE;  // as while the video runs: only a failure would repaint
  SetFault(FaultMode::Stall);
  for (int i = 0; i < kRelayWorkers + 3; ++i) StartRelay(1 + i % 2);
  EXPECT_EQ(RelayPressesWaiting(), 3u);
  SetFault(FaultMode::None);
  ASSERT_TRUE(WaitFor([&] { return unit->RelayCount(1) == 4 && unit->RelayCount(2) == 3 && Done(); }));

  // Commands waiting for a silent unit at shutdown: stopped at once, nothing drawn, no failure shown.
  // (Relay 1 only: a unit slower than the client may still read a request the client gave up on after
  // its fault is lifted, and switch; relay 2 then counts only the press below.)
  SetFault(FaultMode::Stall);
  StartRelay(1);
  StartRelay(1);
  EXPECT_TRUE(AbandonRelayCommands(5s)) << "stopped commands did not end";
  EXPECT_TRUE(paints == 0 && !ShowData.Kill_TCP);
  // Presses after that start afresh.
  SetFault(FaultMode::None);
  StartRelay(2);
  ASSERT_TRUE(Switched(2, 4)) << "relay 1: " << unit->RelayCount(1) << ", relay 2: " << unit->RelayCount(2)
                              << ", pending: " << RelayPressesPending();
}

}  // namespace
