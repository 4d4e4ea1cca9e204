// The simulator's SIP side against sipp on loopback: calling out, answering, refusing, reporting.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <mutex>

#include "tests/integration/doorsim/caller_scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/http_client.h"
#include "tests/support/poll.h"
#include "tests/support/sipp_peer.h"
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
    auto log = [this](std::string_view line) {
      std::lock_guard lock(mu_);
      events_.emplace_back(line);
    };
    server = std::make_unique<doorsim::Server>(
        doorsim::Options{.address = address, .width = 64, .height = 48, .sipUser = user, .onEvent = log});
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
    for (const auto& e : events_)
      if (e.starts_with(prefix)) out.push_back(e);
    return out;
  }

  // sipp's exit, 0 when its scenario played out.
  static ::testing::AssertionResult Played(SippPeer& peer) {
    const auto exit = peer.Wait(20s);
    if (exit == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "sipp: " << (exit ? std::to_string(*exit) : "running") << peer.Log();
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

  int hangup = 0, call = 0;
  Get("/sim/siphangup", &hangup);
  Get("/sim/sipcall", &call);
  EXPECT_EQ(std::make_pair(hangup, call), std::make_pair(409, 400)) << "no call to end yet, no callee";
  std::string why;
  EXPECT_TRUE(!server->SipCall("flat", &why) && !why.empty());

  // The INVITE is sent again until answered, so a sipp still opening its socket is no matter.
  ASSERT_EQ(Get("/sim/sipcall?to=" + uri), "ok\n");
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.state == "connected" && s.rtpPackets > 0; }))
      << Get("/sim/sipstate") << callee.Log();
  const std::string state = Get("/sim/sipstate");
  const std::string fields[] = {"\"state\":\"connected\"", "\"placed\":1,", "\"rtp\":true",
                                "\"remote\":\"" + uri + "\""};
  for (const std::string& field : fields) EXPECT_NE(state.find(field), std::string::npos) << state;

  EXPECT_EQ(Get("/sim/siphangup"), "ok\n");
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.state == "idle" && s.ended == 1; }));
  EXPECT_TRUE(Played(callee));
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

  // Each call is a sipp with its scenario; the unit is told how to answer before it.
  std::unique_ptr<SippPeer> peers[3];
  auto call = [&](int i, SipAnswer answer, const std::string& scenario) {
    if (answer != SipAnswer::Auto) server->SetSipAnswer(answer);  // answering at once is the default
    peers[i] = std::make_unique<SippPeer>();
    peers[i]->EchoRtp();
    return peers[i]->Start(scenario, 0, {"-s", "gate", unit});
  };
  ASSERT_TRUE(call(0, SipAnswer::Auto, CallerScenario(200, contact, 1500)));
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.connected == 1 && s.rtpPackets > 0; }))
      << peers[0]->Log();
  ASSERT_TRUE(Played(*peers[0]));
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.state == "idle" && s.ended == 1; }));
  SipStatus s = server->Sip();
  EXPECT_EQ(std::make_pair(s.lastEnd, s.received), std::make_pair(std::string("Call ended"), 1));
  EXPECT_NE(s.remote.find("sip:sipp@127.0.0.1:" + std::to_string(peers[0]->Port())), std::string::npos)
      << s.remote;

  ASSERT_TRUE(call(1, SipAnswer::Busy, CallerScenario(486)));
  ASSERT_TRUE(Played(*peers[1]));
  EXPECT_EQ(std::make_pair(server->Sip().received, server->Sip().connected), std::make_pair(2, 1));

  ASSERT_TRUE(call(2, SipAnswer::Never, CallerScenario(603)));
  ASSERT_TRUE(Reaches([](const SipStatus& s) { return s.received == 3 && s.state == "incoming"; }));
  EXPECT_EQ(server->Sip().answer, SipAnswer::Never);
  server->Stop();
  ASSERT_TRUE(Played(*peers[2]));
  s = server->Sip();
  EXPECT_TRUE(!s.running && s.connected == 1);
  EXPECT_EQ(
      std::make_tuple(Events("sip answer").size(), Events("sip busy").size(), Events("sip incoming").size()),
      std::make_tuple(1u, 1u, 3u));
}

// Two units call each other: the callee sees the caller as the client will (the unit's user and
// address), sound flows both ways through the silent cards, and the
// callee's BYE, sent where the caller's Contact says, ends the call at the caller.
TEST(DoorsimSipUnits, ACallBetweenTwoUnitsShowsTheCallersAddressAndEndsFromEitherSide) {
  doorsim::Options a, b;
  a.address = "127.0.0.2";
  b.address = "127.0.0.3";
  b.sipUser = "flat";
  doorsim::Server caller(a), callee(b);
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
  EXPECT_EQ(caller.Sip().lastEnd + "/" + callee.Sip().lastEnd, "Call ended/Call terminated");
  EXPECT_FALSE(callee.SipHangup());
}

// The program without its UDP port still serves video and relays and says why SIP is off;
// --no-sip turns it off on purpose.
TEST(DoorsimSipProgram, ServesHttpWhenItsUdpPortIsTakenAndRunsWithoutSipWhenTold) {
  const int holder = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(holder, 0);
  sockaddr_in sa{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
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
    const auto relay = HttpGet(httpPort, "/cgi-bin/remctrl.sh?id=relay1");
    ASSERT_TRUE(call && relay);
    EXPECT_EQ(std::make_pair(call->status, relay->status), std::make_pair(503, 200));
    EXPECT_EQ(child.ReadLine(5s), "relay 1");

    ASSERT_TRUE(child.Signal(SIGTERM));
    const auto exit = child.Wait(10s);
    ASSERT_TRUE(exit);
    EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  }
  close(holder);
}

}  // namespace
