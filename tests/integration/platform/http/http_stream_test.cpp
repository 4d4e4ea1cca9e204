// HTTP for the door unit against the door simulator on loopback: stream reads, stops, failures, the one-shot
// request.
#include "platform/http/http_stream.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stop_token>
#include <string>
#include <thread>

#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"
#include "tools/doorsim/doorsim.h"

namespace {

using namespace std::chrono_literals;
using test_support::PollUntil;

constexpr const char* kAgent = "Kestrova_1.39";

// A loopback port on which nothing listens: connecting is refused.
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

// Whether the thread is asleep in the kernel (here: the read waiting for the network).
bool ThreadSleeps(pid_t tid) {
  const std::string stat = test_support::ReadFile("/proc/self/task/" + std::to_string(tid) + "/stat");
  const std::size_t end = stat.rfind(')');
  return end != std::string::npos && end + 2 < stat.size() && stat[end + 2] == 'S';
}

class HttpStream : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("no_proxy", "127.0.0.1,localhost", 1); }

  void SetUp() override {
    doorsim::Options o;
    o.width = 160;
    o.height = 120;
    o.fps = 50;
    unit = std::make_unique<doorsim::Server>(o);
    ASSERT_TRUE(unit->Start()) << unit->LastError();
    session = InternetOpen(kAgent);
    ASSERT_NE(session, nullptr);
  }
  void TearDown() override { InternetCloseHandle(session); }

  std::string Url(const char* path) { return "http://" + unit->Address() + path; }

  void SetFault(doorsim::FaultMode mode) {
    doorsim::Fault f;
    f.mode = mode;
    unit->SetFault(f);
  }

  // Reads until `bytes` have come or a read fails or ends; returns what came.
  std::string ReadSome(HINTERNET h, std::size_t bytes, bool* ended = nullptr) {
    std::string got;
    char block[1024];
    DWORD len = 0;
    while (got.size() < bytes) {
      const BOOL ok = InternetReadFile(h, block, sizeof block, &len);
      EXPECT_LE(len, 1024u);
      if (!ok || len == 0) {
        if (ended) *ended = ok && len == 0;
        break;
      }
      got.append(block, len);
    }
    return got;
  }

  std::unique_ptr<doorsim::Server> unit;
  HINTERNET session = nullptr;
};

TEST_F(HttpStream, ReadsTheStreamInBlocksOfAtMost1024WithTheProgramsAgent) {
  HINTERNET h = InternetOpenUrl(session, Url("/video.mjpg").c_str(), INTERNET_FLAG_NO_CACHE_WRITE);
  ASSERT_NE(h, nullptr);
  const std::string body = ReadSome(h, 20000);
  EXPECT_GE(body.size(), 20000u);
  EXPECT_NE(body.find(doorsim::kHeaderLiteral), std::string::npos);
  EXPECT_EQ(unit->LastUserAgent(), kAgent);
  EXPECT_TRUE(InternetCloseHandle(h));
  EXPECT_TRUE(PollUntil([&] { return unit->OpenStreams() == 0; }, 5s)) << "the connection stays open";
}

TEST_F(HttpStream, ChunkedBodiesArriveDecoded) {
  SetFault(doorsim::FaultMode::Chunked);
  HINTERNET h = InternetOpenUrl(session, Url("/video.mjpg").c_str(), 0);
  ASSERT_NE(h, nullptr);
  const std::string body = ReadSome(h, 30000);
  const std::size_t first = body.find(doorsim::kHeaderLiteral);
  ASSERT_NE(first, std::string::npos);
  const std::size_t length = std::stoul(body.substr(first + doorsim::kHeaderLiteral.size()));
  const std::size_t second = body.find(doorsim::kHeaderLiteral, first + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_GT(second - first, length);  // no chunk-size lines inside the picture
  InternetCloseHandle(h);
}

TEST_F(HttpStream, ErrorPagesAreResponsesWhoseBodyEnds) {
  doorsim::Fault f;
  f.mode = doorsim::FaultMode::ErrorPage;
  f.status = 500;
  unit->SetFault(f);
  HINTERNET h = InternetOpenUrl(session, Url("/video.mjpg").c_str(), 0);
  ASSERT_NE(h, nullptr);
  bool ended = false;
  const std::string body = ReadSome(h, 1 << 20, &ended);
  EXPECT_TRUE(ended) << "the end of the body is a read of 0 bytes";
  EXPECT_EQ(body.find(doorsim::kHeaderLiteral), std::string::npos);
  InternetCloseHandle(h);
}

TEST_F(HttpStream, NoResponseMeansNoHandle) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/video.mjpg";
  EXPECT_EQ(InternetOpenUrl(session, refused.c_str(), 0), nullptr);
  SetFault(doorsim::FaultMode::Refuse);  // reset after the request
  EXPECT_EQ(InternetOpenUrl(session, Url("/video.mjpg").c_str(), 0), nullptr);
  EXPECT_EQ(InternetOpenUrl(session, "file:///etc/passwd", 0), nullptr);
}

TEST_F(HttpStream, AStopReturnsABlockedReadAtOnceWhileTheUnitSendsNothing) {
  SetFault(doorsim::FaultMode::Stall);
  HINTERNET h = InternetOpenUrl(session, Url("/video.mjpg").c_str(), 0);
  ASSERT_NE(h, nullptr);
  std::atomic<int> result{-1};
  std::atomic<pid_t> tid{0};
  std::thread reader([&] {
    char block[1024];
    DWORD len = 0;
    tid = gettid();
    result = InternetReadFile(h, block, sizeof block, &len);
  });
  ASSERT_TRUE(PollUntil([&] { return tid != 0 && ThreadSleeps(tid); }, 5s)) << "the read never blocked";
  EXPECT_EQ(result, -1) << "the read returned while the unit sent nothing";
  InternetStop(session);
  // Far within the time a silent unit is given before a read fails.
  const bool returned = PollUntil([&] { return result != -1; }, 3s);
  EXPECT_TRUE(returned);
  reader.join();
  EXPECT_EQ(result, FALSE);
  EXPECT_EQ(InternetOpenUrl(session, Url("/video.mjpg").c_str(), 0), nullptr)
      << "a stopped session opens nothing";
  InternetCloseHandle(h);
}

TEST_F(HttpStream, OneShotRequestReportsWhetherAnyResponseArrived) {
  EXPECT_TRUE(HttpRequestOnce(kAgent, Url("/cgi-bin/remctrl.sh?id=relay2").c_str(), 5000));
  EXPECT_EQ(unit->RelayCount(2), 1);
  EXPECT_EQ(unit->LastUserAgent(), kAgent);
  EXPECT_TRUE(HttpRequestOnce(kAgent, Url("/no/such/script").c_str(), 5000)) << "a 404 is a response";
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/cgi-bin/remctrl.sh?id=relay1";
  EXPECT_FALSE(HttpRequestOnce(kAgent, refused.c_str(), 5000));
  // A unit that takes the request and never answers: a stop ends the wait at once.
  SetFault(doorsim::FaultMode::Stall);
  std::stop_source stop;
  std::atomic<int> result{-1};
  std::atomic<pid_t> tid{0};
  std::thread request([&] {
    tid = gettid();
    result =
        HttpRequestOnce(kAgent, Url("/cgi-bin/remctrl.sh?id=relay1").c_str(), 60000, 5000, stop.get_token());
  });
  ASSERT_TRUE(PollUntil([&] { return tid != 0 && ThreadSleeps(tid); }, 5s)) << "the request never waited";
  EXPECT_EQ(result, -1) << "the request returned while the unit said nothing";
  stop.request_stop();
  EXPECT_TRUE(PollUntil([&] { return result != -1; }, 5s));
  request.join();
  EXPECT_EQ(result, FALSE);
  EXPECT_EQ(unit->RelayCount(1), 0);
}

}  // namespace
