// The program's window with the video reader and the relay commands' painting, and a door simulator.
#include "tests/unit/door/door_fixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "door/relay.h"
#include "door/relay_workers.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/display_record.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/support/gui/program_window.h"
#include "video/download_mjpeg.h"
#include "video/reader_thread.h"
#include "window/window_proc.h"

namespace door_test {

namespace {

// Far from the periodic reconnect.
constexpr int kCountStart = -1000000;

sockaddr_in Loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  return a;
}

int PortOf(int fd) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return ntohs(a.sin_port);
}

void CountingPainter(t_ShowData data) {
  ++RelayTest::paints;
  ShowMyWindow(g_hwndMain, data);
}

}  // namespace

std::atomic<int> RelayTest::paints{0};

int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(0);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  const int port = PortOf(fd);
  close(fd);
  return port;
}

DroppingListener::DroppingListener() {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(0);
  bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
  listen(listener_, 0);
  port_ = PortOf(listener_);
  // Takes the queue's one place; it is never accepted, so later connection requests are dropped.
  filler_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
  a = Loopback(port_);
  connect(filler_, reinterpret_cast<sockaddr*>(&a), sizeof a);
}

DroppingListener::~DroppingListener() {
  close(filler_);
  close(listener_);
}

std::string DroppingListener::Address() const { return "127.0.0.1:" + std::to_string(port_); }

std::string LongestAddress(const std::string& address) {
  const std::string port = address.substr(address.find(':'));
  // "127." + 3 numbers of zeros ending in "0", "0", "1", with their dots, then the port.
  const std::size_t zeros = 63 - 4 - 2 - port.size();
  const std::size_t a = zeros / 3, b = zeros / 3, c = zeros - a - b;
  return "127." + std::string(a, '0') + "." + std::string(b, '0') + "." + std::string(c - 1, '0') + "1" +
         port;
}

void RelayTest::SetUpTestSuite() {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  test_support::EnsurePlatform();
}

void RelayTest::SetUp() {
  test_support::RegisterProgramClass(WindowProcMain, kClassName);
  PocetSnimku = kCountStart;
  paints = 0;
  ASSERT_NE(test_support::OpenProgramWindow(tmp, kClassName), HWND_NONE);
  SetRelayPainter(CountingPainter);
  doorsim::Options o;
  o.width = 160;
  o.height = 120;
  o.fps = 8;
  unit = std::make_unique<doorsim::Server>(o);
  ASSERT_TRUE(unit->Start()) << unit->LastError();
  SetAddress(unit->Address());
}

void RelayTest::TearDown() {
  // In the order of the program's shutdown.
  AbandonRelayCommands(std::chrono::seconds(5));
  AskReaderToStop();
  AwaitReaderEnd();
  test_support::CloseProgramWindow();
  SetRelayPainter(nullptr);
  if (unit) unit->Stop();
}

void RelayTest::SetFault(doorsim::FaultMode mode, int status) {
  doorsim::Fault f;
  f.mode = mode;
  f.status = status;
  unit->SetFault(f);
}

void RelayTest::SetAddress(const std::string& address) {
  std::lock_guard lock(IP_addrMutex());
  std::memset(IP_addr, 0, sizeof IP_addr);
  std::strncpy(IP_addr, address.c_str(), sizeof IP_addr - 1);
}

void RelayTest::StartVideo() {
  ShowWindow(g_hwndMain, SW_SHOW);
  StartReaderThread();
  ASSERT_TRUE(WaitFor([] { return !ShowData.Kill_TCP && Pictures() >= 2; })) << "no video";
}

bool RelayTest::NoticeShown() {
  const SurfaceCopy s = CopySurface(g_hwndMain);
  int yellow = 0;
  for (int y = 30; y < 46 && y < s.height; ++y)
    for (int x = 20; x < 200 && x < s.width; ++x) {
      const std::uint32_t c = s.at(x, y);
      yellow += ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) < 90;
    }
  return yellow > 20;
}

int RelayTest::Pictures() { return PocetSnimku - kCountStart; }

}  // namespace door_test
