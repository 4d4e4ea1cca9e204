// The simulator's SIP side against sipp on loopback: calling out, answering, refusing, reporting.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <mutex>

#include "tests/support/child_process.h"
#include "tests/support/http_client.h"
#include "tests/support/poll.h"
#include "tests/support/sipp_peer.h"
#include "tests/unit/doorsim/caller_scenario.h"
#include "tools/doorsim/doorsim.h"

namespace {

using namespace std::chrono_literals;
using doorsim::SipAnswer;
using doorsim::SipStatus;
using doorsim_test::CallerScenario;
using test_support::HttpGet;
using test_support::PollUntil;
using test_support::SippPeer;

class DoorsimSip : public ::testing::Test {
 protected:
  void Begin(const std::string& address, const std::string& user = "door") {
    doorsim::Options options;
    options.address = address;
    options.sipUser = user;
    options.width = 64;
    options.height = 48;
    options.onEvent = [this](std::string_view line) {
      std::lock_guard lock(mu_);
      events_.emplace_back(line);
    };
    server = std::make_unique<doorsim::Server>(options);
    ASSERT_TRUE(server->Start()) << server->LastError();
    ASSERT_TRUE(server->Sip().running) << server->Sip().error;
  }

  bool Reaches(const std::function<bool(const SipStatus&)>& pred) {
    return PollUntil([&] { return pred(server->Sip()); }, 20s);
  }

  // The event lines that start with `prefix`, in order.
  std::vector<std::string> Events(std::string_view prefix = "sip") {
    std::lock_guard lock(mu_);
    std::vector<std::string> out;
    for (const auto& e : events_) {
      if (e.starts_with(prefix)) out.push_back(e);
    }
    return out;
  }

  std::string Get(const std::string& target, int* status = nullptr) {
    const auto reply = HttpGet(server->Port(), target);
    if (status) *status = reply ? reply->status : -1;
    return reply ? reply->body : "<no reply>";
  }

  std::unique_ptr<doorsim::Server> server;

 private:
  std::mutex mu_;
  std::vector<std::string> events_;
};

// The unit calls a sipp answering machine over the control interface, the call carries RTP both
// ways (sipp echoes it), and the unit's hang-up reaches sipp, which ends with its call done.
TEST_F(DoorsimSip, CallsOutTalksAndHangsUpThroughTheControlInterface) {
  Begin("127.0.0.1");
  SippPeer callee;
  callee.EchoRtp();
  ASSERT_TRUE(callee.StartBuiltIn("uas", 0));
  const std::string uri = "sip:flat@127.0.0.1:" + std::to_string(callee.Port());

  int status = 0;
  Get("/sim/siphangup", &status);
  EXPECT_EQ(status, 409) << "no call to end yet";
  Get("/sim/sipcall", &status);
  EXPECT_EQ(status, 400);
  std::string why;
  EXPECT_FALSE(server->SipCall("flat", &why));
  EXPECT_FALSE(why.empty());

  // The INVITE is sent again until answered, so a sipp still opening its socket is no matter.
  ASSERT_EQ(Get("/sim/sipcall?to=" + uri, &status), "ok\n");
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.state == "connected" && s.rtpPackets > 0; }))
      << Get("/sim/sipstate") << callee.Log();
  const std::string state = Get("/sim/sipstate");
  EXPECT_NE(state.find("\"state\":\"connected\""), std::string::npos) << state;
  EXPECT_NE(state.find("\"placed\":1,"), std::string::npos) << state;
  EXPECT_NE(state.find("\"rtp\":true"), std::string::npos) << state;
  EXPECT_NE(state.find("\"remote\":\"" + uri + "\""), std::string::npos) << state;

  EXPECT_EQ(Get("/sim/siphangup", &status), "ok\n");
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.state == "idle" && s.ended == 1; }));
  const auto exit = callee.Wait(20s);
  ASSERT_TRUE(exit);
  EXPECT_EQ(*exit, 0) << callee.Log();
  EXPECT_EQ(server->Sip().received, 0);
  EXPECT_EQ(Events(), (std::vector<std::string>{"sip calling " + uri, "sip ringing", "sip connected",
                                                "sip rtp", "sip ended Call terminated"}));
}

// sipp calls a unit on 127.0.0.2 three times: answered at once (the answer's Contact names the
// unit's own address, so in-dialog requests find it, and sipp's BYE ends the call), refused busy,
// and left ringing until the unit shuts down, which declines it.
TEST_F(DoorsimSip, AnswersRefusesOrLetsRingAsToldAndItsContactLeadsBack) {
  Begin("127.0.0.2", "gate");
  const std::string unit = server->Address();
  const std::string contact = "<sip:(gate@)?127\\.0\\.0\\.2:" + std::to_string(server->Port()) + "[>;]";

  SippPeer answered;
  answered.EchoRtp();
  ASSERT_TRUE(answered.Start(CallerScenario(200, contact, 1500), 0, {"-s", "gate", unit}));
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.connected == 1 && s.rtpPackets > 0; }))
      << answered.Log();
  auto exit = answered.Wait(20s);
  ASSERT_TRUE(exit);
  EXPECT_EQ(*exit, 0) << answered.Log();
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.state == "idle" && s.ended == 1; }));
  SipStatus s = server->Sip();
  EXPECT_EQ(s.lastEnd, "Call ended");
  EXPECT_EQ(s.received, 1);
  EXPECT_NE(s.remote.find("sip:sipp@127.0.0.1:" + std::to_string(answered.Port())), std::string::npos)
      << s.remote;

  server->SetSipAnswer(SipAnswer::Busy);
  SippPeer refused;
  refused.EchoRtp();
  ASSERT_TRUE(refused.Start(CallerScenario(486), 0, {"-s", "gate", unit}));
  exit = refused.Wait(20s);
  ASSERT_TRUE(exit);
  EXPECT_EQ(*exit, 0) << refused.Log();
  EXPECT_EQ(server->Sip().received, 2);
  EXPECT_EQ(server->Sip().connected, 1);

  server->SetSipAnswer(SipAnswer::Never);
  SippPeer ringing;
  ringing.EchoRtp();
  ASSERT_TRUE(ringing.Start(CallerScenario(603), 0, {"-s", "gate", unit}));
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.received == 3 && s.state == "incoming"; }));
  EXPECT_EQ(server->Sip().answer, SipAnswer::Never);
  server->Stop();
  exit = ringing.Wait(20s);
  ASSERT_TRUE(exit);
  EXPECT_EQ(*exit, 0) << ringing.Log();
  s = server->Sip();
  EXPECT_FALSE(s.running);
  EXPECT_EQ(s.connected, 1);
  EXPECT_EQ(Events("sip answer").size(), 1u);
  EXPECT_EQ(Events("sip busy").size(), 1u);
  EXPECT_EQ(Events("sip incoming").size(), 3u);
}

// Two units call each other: the callee sees the caller as the client will (the unit's user and
// address), sound flows both ways through the silent cards, and the
// callee's BYE, sent where the caller's Contact says, ends the call at the caller.
TEST(DoorsimSipUnits, ACallBetweenTwoUnitsShowsTheCallersAddressAndEndsFromEitherSide) {
  doorsim::Options a;
  a.address = "127.0.0.2";
  doorsim::Options b;
  b.address = "127.0.0.3";
  b.sipUser = "flat";
  doorsim::Server caller(a);
  doorsim::Server callee(b);
  ASSERT_TRUE(caller.Start() && callee.Start());
  ASSERT_TRUE(caller.Sip().running && callee.Sip().running) << caller.Sip().error << callee.Sip().error;

  ASSERT_TRUE(caller.SipCall("sip:flat@" + callee.Address()));
  auto talking = [](const doorsim::Server& s) {
    return s.Sip().state == "connected" && s.Sip().rtpPackets > 0;
  };
  ASSERT_TRUE(PollUntil([&] { return talking(caller) && talking(callee); }, 20s));
  // The library writes the caller's From without its port, whatever the contact says.
  EXPECT_EQ(callee.Sip().remote, "\"Door\" <sip:door@127.0.0.2>");
  EXPECT_EQ(caller.Sip().remote, "sip:flat@" + callee.Address());

  EXPECT_TRUE(callee.SipHangup());
  ASSERT_TRUE(PollUntil([&] { return caller.Sip().ended == 1 && callee.Sip().ended == 1; }, 20s));
  EXPECT_EQ(caller.Sip().lastEnd, "Call ended");
  EXPECT_EQ(callee.Sip().lastEnd, "Call terminated");
  EXPECT_FALSE(callee.SipHangup());
}

// The program without its UDP port still serves video and relays and says why SIP is off;
// --no-sip turns it off on purpose.
TEST(DoorsimSipProgram, ServesHttpWhenItsUdpPortIsTakenAndRunsWithoutSipWhenTold) {
  const int holder = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(holder, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof sa;
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
  ASSERT_EQ(getsockname(holder, reinterpret_cast<sockaddr*>(&sa), &length), 0);
  const uint16_t port = ntohs(sa.sin_port);

  for (const bool taken : {true, false}) {
    test_support::ChildProcess child;
    std::vector<std::string> args = {"--listen", "127.0.0.1:" + std::to_string(taken ? port : 0)};
    if (!taken) args.push_back("--no-sip");
    ASSERT_TRUE(child.Start(DOORSIM_BINARY, args));
    const auto address = child.ReadLine(20s);
    ASSERT_TRUE(address);
    const uint16_t httpPort = static_cast<uint16_t>(std::stoi(address->substr(10)));

    const auto state = HttpGet(httpPort, "/sim/sipstate");
    ASSERT_TRUE(state);
    EXPECT_NE(state->body.find("\"running\":false"), std::string::npos) << state->body;
    EXPECT_EQ(state->body.find("in use") != std::string::npos, taken) << state->body;
    const auto call = HttpGet(httpPort, "/sim/sipcall?to=sip:x@127.0.0.1:9");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->status, 503);
    const auto relay = HttpGet(httpPort, "/cgi-bin/remctrl.sh?id=relay1");
    ASSERT_TRUE(relay);
    EXPECT_EQ(relay->status, 200);
    EXPECT_EQ(child.ReadLine(5s), "relay 1");

    ASSERT_TRUE(child.Signal(SIGTERM));
    const auto exit = child.Wait(10s);
    ASSERT_TRUE(exit);
    EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  }
  close(holder);
}

}  // namespace
