// The simulator over loopback: control interface, relays, many clients, stopping, and each fault mode.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <mutex>

#include "tests/support/child_process.h"
#include "tests/support/http_client.h"
#include "tests/support/poll.h"
#include "tests/unit/doorsim/part_scan.h"
#include "tools/doorsim/doorsim.h"

namespace {

using namespace std::chrono_literals;
using doorsim::Fault;
using doorsim::FaultMode;
using doorsim_test::ScanParts;
using test_support::HttpGet;
using test_support::HttpStream;
using test_support::PollUntil;

auto HasParts(size_t n) {
  return [n](const std::string& data) { return ScanParts(data).size() >= n; };
}

bool IsJpeg(std::string_view picture) {
  return picture.size() > 2 && static_cast<uint8_t>(picture[0]) == 0xFF &&
         static_cast<uint8_t>(picture[1]) == 0xD8;
}

Fault WithMode(FaultMode mode) {
  Fault f;
  f.mode = mode;
  return f;
}

// Undoes chunked transfer encoding; empty when the framing is broken.
std::string Dechunk(std::string_view body, size_t* chunks = nullptr) {
  std::string out;
  if (chunks) *chunks = 0;
  for (;;) {
    const size_t eol = body.find("\r\n");
    if (eol == std::string_view::npos) return out;
    const size_t size = std::stoul(std::string(body.substr(0, eol)), nullptr, 16);
    if (size == 0) return out;
    if (body.size() < eol + 2 + size + 2) return out;
    out += body.substr(eol + 2, size);
    if (chunks) ++*chunks;
    if (body.substr(eol + 2 + size, 2) != "\r\n") return {};
    body.remove_prefix(eol + 2 + size + 2);
  }
}

class DoorsimServer : public ::testing::Test {
 protected:
  void SetUp() override { Begin({}); }

  void Begin(doorsim::Options options) {
    options.width = 160;
    options.height = 120;
    options.fps = 50;
    options.onEvent = [this](std::string_view line) {
      std::lock_guard lock(eventsMu);
      events.emplace_back(line);
    };
    server = std::make_unique<doorsim::Server>(options);
    ASSERT_TRUE(server->Start()) << server->LastError();
    port = server->Port();
  }

  int Status(const std::string& target) {
    const auto reply = HttpGet(port, target);
    return reply ? reply->status : -1;
  }

  std::string Body(const std::string& target) {
    const auto reply = HttpGet(port, target);
    return reply ? reply->body : "<no reply>";
  }

  std::vector<std::string> Events() {
    std::lock_guard lock(eventsMu);
    return events;
  }

  std::unique_ptr<doorsim::Server> server;
  uint16_t port = 0;
  std::mutex eventsMu;
  std::vector<std::string> events;
};

TEST_F(DoorsimServer, RelaysAreCountedAndReported) {
  EXPECT_EQ(Status("/cgi-bin/remctrl.sh?id=relay1"), 200);
  EXPECT_EQ(Status("/cgi-bin/remctrl.sh?id=relay1"), 200);
  EXPECT_EQ(Status("/cgi-bin/remctrl.sh?id=relay2"), 200);
  EXPECT_EQ(Status("/cgi-bin/remctrl.sh?id=relay3"), 404);
  EXPECT_EQ(Status("/cgi-bin/remctrl.sh"), 404);
  EXPECT_EQ(server->RelayCount(1), 2);
  EXPECT_EQ(server->RelayCount(2), 1);
  EXPECT_EQ(Body("/sim/relays"), R"({"relay1":2,"relay2":1})");
  EXPECT_EQ(Events(), (std::vector<std::string>{"relay 1", "relay 1", "relay 2"}));
  EXPECT_EQ(server->LastUserAgent(), "test");
}

TEST_F(DoorsimServer, StreamCarriesTheFlagAndTitleSetOverTheControlInterface) {
  HttpStream stream;
  ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
  ASSERT_TRUE(stream.ReadUntil(HasParts(2), 5s));
  const auto reply = test_support::SplitResponse(stream.Data());
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_NE(reply->head.find("Content-Type: multipart/x-mixed-replace; boundary=doorsimframe"),
            std::string::npos);
  const auto first = ScanParts(reply->body);
  EXPECT_EQ(first[0].flag, '0');
  EXPECT_EQ(first[0].title, "Front door");
  EXPECT_TRUE(IsJpeg(first[0].picture));
  EXPECT_NE(first[0].picture, first[1].picture);

  EXPECT_EQ(Status("/sim/flag?value=2"), 200);
  EXPECT_EQ(Status("/sim/title?text=Back+door%21%20%C3%A9"), 200);
  ASSERT_TRUE(stream.ReadUntil(
      [](const std::string& d) {
        const auto parts = ScanParts(d);
        return !parts.empty() && parts.back().flag == '2' && parts.back().title == "Back door! \xC3\xA9";
      },
      5s));

  EXPECT_EQ(Status("/sim/flag?value=12"), 400);
  EXPECT_EQ(Status("/sim/flag"), 400);
  EXPECT_EQ(Status("/sim/title?text=a%0Db"), 400) << "a CR would shift the part header";
  EXPECT_EQ(Status("/sim/fault?mode=nonsense"), 400);
  EXPECT_EQ(Status("/sim/nothing"), 404);
  EXPECT_EQ(Status("/elsewhere"), 404);
  EXPECT_EQ(server->CurrentFault().mode, FaultMode::None);
}

TEST_F(DoorsimServer, ManyClientsShareTheStreamAndStopEndsThemAll) {
  constexpr int kClients = 12;
  std::vector<std::unique_ptr<HttpStream>> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.push_back(std::make_unique<HttpStream>());
    ASSERT_TRUE(clients.back()->Open(port, "/video.mjpg"));
  }
  for (auto& c : clients) ASSERT_TRUE(c->ReadUntil(HasParts(3), 10s));
  EXPECT_EQ(server->OpenStreams(), kClients);
  // A part is counted once its last write returned, which can be just after the client read it.
  EXPECT_TRUE(PollUntil([&] { return server->PicturesSent() >= 3u * kClients; }, 5s))
      << server->PicturesSent();
  EXPECT_EQ(server->StreamsAccepted(), static_cast<uint64_t>(kClients));

  clients.pop_back();
  EXPECT_TRUE(PollUntil([&] { return server->OpenStreams() == kClients - 1; }, 5s));

  server->SetFault(WithMode(FaultMode::Stall));  // a stalled connection must not hold up the stop
  server->Stop();
  EXPECT_EQ(server->OpenStreams(), 0);
  for (auto& c : clients) {
    c->ReadUntil([](const std::string&) { return false; }, 5s);
    EXPECT_TRUE(c->Ended());
  }
  EXPECT_FALSE(HttpStream().Open(port, "/video.mjpg")) << "nobody listens after the stop";
}

TEST(DoorsimServerBound, ConnectionsBeyondTheBoundAreReset) {
  doorsim::Options options;
  options.maxClients = 2;
  doorsim::Server server(options);
  ASSERT_TRUE(server.Start());
  HttpStream a, b, c;
  ASSERT_TRUE(a.Open(server.Port(), "/video.mjpg"));
  ASSERT_TRUE(b.Open(server.Port(), "/video.mjpg"));
  ASSERT_TRUE(a.ReadUntil(HasParts(1), 5s));
  ASSERT_TRUE(b.ReadUntil(HasParts(1), 5s));
  c.Open(server.Port(), "/video.mjpg");
  EXPECT_FALSE(c.ReadUntil(HasParts(1), 5s));
  EXPECT_TRUE(c.Ended());
  a.Close();
  EXPECT_TRUE(PollUntil([&] { return server.OpenStreams() == 1; }, 5s));
  HttpStream d;
  ASSERT_TRUE(d.Open(server.Port(), "/video.mjpg"));
  EXPECT_TRUE(d.ReadUntil(HasParts(1), 5s)) << "a finished connection frees its place";
}

TEST_F(DoorsimServer, CloseEndsEachStreamAfterItsPictures) {
  EXPECT_EQ(Status("/sim/fault?mode=close&after=3"), 200);
  for (int round = 0; round < 2; ++round) {
    HttpStream stream;
    ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
    EXPECT_FALSE(stream.ReadUntil([](const std::string&) { return false; }, 10s));
    EXPECT_TRUE(stream.Ended());
    EXPECT_FALSE(stream.Reset());
    EXPECT_EQ(ScanParts(stream.Data()).size(), 3u);
  }
}

TEST_F(DoorsimServer, StallSendsNothingUntilTheModeChanges) {
  server->SetFault(WithMode(FaultMode::Stall));
  HttpStream stream;
  ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
  ASSERT_TRUE(
      stream.ReadUntil([](const std::string& d) { return d.find("\r\n\r\n") != std::string::npos; }, 5s));
  EXPECT_FALSE(stream.ReadUntil(HasParts(1), 500ms));
  EXPECT_FALSE(stream.Ended());
  EXPECT_EQ(server->OpenStreams(), 1);

  EXPECT_EQ(Status("/sim/fault?mode=none"), 200);
  EXPECT_TRUE(stream.ReadUntil(HasParts(2), 5s)) << "the same connection streams again";

  server->SetFault(WithMode(FaultMode::Stall));
  stream.Close();
  EXPECT_TRUE(PollUntil([&] { return server->OpenStreams() == 0; }, 5s))
      << "a stalled client that leaves is noticed";
}

TEST_F(DoorsimServer, GarbageBetweenPartsHoldsNearMatches) {
  server->SetFault(WithMode(FaultMode::Garbage));
  HttpStream stream;
  ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
  ASSERT_TRUE(stream.ReadUntil(HasParts(8), 10s));
  const auto parts = ScanParts(stream.Data());
  size_t withC = 0;
  for (size_t i = 1; i < parts.size(); ++i) {
    EXPECT_TRUE(IsJpeg(parts[i].picture));
    const size_t from = parts[i - 1].pictureAt + parts[i - 1].picture.size() + 2;
    const std::string_view between = std::string_view(stream.Data()).substr(from, parts[i].literalAt - from);
    if (between.find('C') != std::string_view::npos) ++withC;
  }
  EXPECT_GT(withC, 0u);
}

TEST_F(DoorsimServer, SplitHeadersArriveInSeveralReads) {
  server->SetFault(WithMode(FaultMode::Split));
  HttpStream stream;
  ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
  ASSERT_TRUE(stream.ReadUntil(HasParts(4), 10s));
  std::vector<size_t> readEnds;
  size_t total = 0;
  for (size_t n : stream.ReadSizes()) readEnds.push_back(total += n);
  size_t cutHeaders = 0;
  for (const auto& part : ScanParts(stream.Data())) {
    EXPECT_TRUE(IsJpeg(part.picture));
    const size_t end = part.literalAt + doorsim::kHeaderLiteral.size() + part.digits.size();
    for (size_t e : readEnds) {
      if (e > part.literalAt && e < end) {
        ++cutHeaders;
        break;
      }
    }
  }
  EXPECT_GT(cutHeaders, 0u);
}

TEST_F(DoorsimServer, PartFaultsReachRunningConnections) {
  HttpStream stream;
  ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
  ASSERT_TRUE(stream.ReadUntil(HasParts(1), 5s));
  for (FaultMode mode : {FaultMode::HugeLen, FaultMode::NotFF, FaultMode::CtrlTitle}) {
    server->SetFault(WithMode(mode));
    EXPECT_TRUE(stream.ReadUntil(
        [mode](const std::string& d) {
          const auto parts = ScanParts(d);
          if (parts.empty()) return false;
          const auto& p = parts.back();
          if (mode == FaultMode::HugeLen) return p.digits.size() >= 10;
          if (mode == FaultMode::NotFF)
            return !p.picture.empty() && static_cast<uint8_t>(p.picture[0]) != 0xFF;
          return p.title.find('\x1b') != std::string::npos;
        },
        5s))
        << doorsim::FaultName(mode);
  }
}

TEST_F(DoorsimServer, ErrorPageHasNoParts) {
  EXPECT_EQ(Status("/sim/fault?mode=errorpage"), 200);
  auto reply = HttpGet(port, "/video.mjpg");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 404);
  EXPECT_FALSE(reply->body.empty());
  EXPECT_EQ(reply->body.find(doorsim::kHeaderLiteral), std::string::npos);
  EXPECT_EQ(Status("/sim/fault?mode=errorpage&status=500"), 200);
  reply = HttpGet(port, "/video.mjpg");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 500);
}

TEST_F(DoorsimServer, ChunkedBodyCarriesThePartsAcrossChunkEdges) {
  server->SetFault(WithMode(FaultMode::Chunked));
  HttpStream stream;
  ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
  auto dechunked = [](const std::string& d) {
    const auto reply = test_support::SplitResponse(d);
    return reply ? Dechunk(reply->body) : std::string();
  };
  ASSERT_TRUE(
      stream.ReadUntil([&](const std::string& d) { return ScanParts(dechunked(d)).size() >= 3; }, 10s));
  const auto reply = test_support::SplitResponse(stream.Data());
  EXPECT_TRUE(reply->head.starts_with("HTTP/1.1 200"));
  EXPECT_NE(reply->head.find("Transfer-Encoding: chunked"), std::string::npos);
  size_t chunks = 0;
  const auto parts = ScanParts(Dechunk(reply->body, &chunks));
  EXPECT_GT(chunks, parts.size()) << "chunk edges fall inside the parts";
  for (const auto& part : parts) EXPECT_TRUE(IsJpeg(part.picture));
}

TEST_F(DoorsimServer, RefuseResetsStreamsAndRelaysButNotTheControlInterface) {
  HttpStream running;
  ASSERT_TRUE(running.Open(port, "/video.mjpg"));
  ASSERT_TRUE(running.ReadUntil(HasParts(1), 5s));
  EXPECT_EQ(Status("/sim/fault?mode=refuse"), 200);
  running.ReadUntil([](const std::string&) { return false; }, 5s);
  EXPECT_TRUE(running.Ended()) << "a running stream is dropped";

  HttpStream fresh;
  fresh.Open(port, "/video.mjpg");
  fresh.ReadUntil([](const std::string&) { return false; }, 5s);
  EXPECT_TRUE(fresh.Ended());
  EXPECT_TRUE(fresh.Data().empty());
  EXPECT_FALSE(HttpGet(port, "/cgi-bin/remctrl.sh?id=relay1"));
  EXPECT_EQ(server->RelayCount(1), 0);

  EXPECT_EQ(Status("/sim/fault?mode=none"), 200);
  ASSERT_TRUE(fresh.Open(port, "/video.mjpg"));
  EXPECT_TRUE(fresh.ReadUntil(HasParts(1), 5s));
}

TEST(DoorsimProgram, PrintsItsAddressReportsRelaysAndEndsOnSigterm) {
  test_support::ChildProcess child;
  ASSERT_TRUE(child.Start(DOORSIM_BINARY,
                          {"--listen", "127.0.0.1:0", "--size", "96x64", "--title", "Gate", "--flag", "1"}));
  const auto address = child.ReadLine(10s);
  ASSERT_TRUE(address);
  ASSERT_TRUE(address->starts_with("127.0.0.1:"));
  const uint16_t port = static_cast<uint16_t>(std::stoi(address->substr(10)));
  ASSERT_NE(port, 0);

  HttpStream stream;
  ASSERT_TRUE(stream.Open(port, "/video.mjpg"));
  ASSERT_TRUE(stream.ReadUntil(HasParts(1), 10s));
  EXPECT_EQ(ScanParts(stream.Data())[0].title, "Gate");
  EXPECT_EQ(ScanParts(stream.Data())[0].flag, '1');

  ASSERT_TRUE(HttpGet(port, "/cgi-bin/remctrl.sh?id=relay2"));
  EXPECT_EQ(child.ReadLine(5s), "relay 2");

  ASSERT_TRUE(child.Signal(SIGTERM));
  const auto exit = child.Wait(10s);
  ASSERT_TRUE(exit);
  EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();

  test_support::ChildProcess bad;
  ASSERT_TRUE(bad.Start(DOORSIM_BINARY, {"--size", "10x10"}));
  const auto badExit = bad.Wait(10s);
  ASSERT_TRUE(badExit);
  EXPECT_TRUE(badExit->ExitedWith(2)) << badExit->Describe();
}

}  // namespace
