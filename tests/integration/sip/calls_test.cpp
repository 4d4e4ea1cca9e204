// Calls with a door unit (sipp): an accepted call handed to the copy that watches the calling unit and
// ended by its hang-up button (a second unit turned away); a refusal; an unmatched call; a call to the door.
#include <unistd.h>

#include <atomic>
#include <future>
#include <memory>

#include "platform/core/bounds.h"
#include "platform/core/completion.h"
#include "platform/gui/sound.h"
#include "sip/call_dialogs.h"
#include "state/display_record.h"
#include "state/sip_state.h"
#include "tests/integration/sip/telephone_fixture.h"
#include "visitors/visitor_log.h"
#include "window/button_actions.h"

namespace sip_test {
namespace {

class CallsTest : public TelephoneTest {
 protected:
  // The door at 127.0.0.1 calls; this copy watches the unit at doorAddress.
  void DoorCalls(const std::string& doorAddress, bool doorHangsUp = false) {
    Set("Window 0", "IP_addr", doorAddress);
    StartTelephone();
    ASSERT_NE(the_core, nullptr);
    ASSERT_TRUE(peer.Start(
        test_support::FillIn(Scenario("door_calls.xml"),
                             {{"HANG_UP", doorHangsUp ? "<nop hide=\"true\" next=\"hang_up\"/>" : ""},
                              {"OUR_PORT", std::to_string(ourPort)}}),
        peerPort, {Loopback(ourPort)}));
    ASSERT_TRUE(PumpUntil([] { return dialog_driver::FindDialog(kTemplateAccept) != 0; })) << peer.Log();
    EXPECT_EQ(hWnd_Accept, dialog_driver::FindDialog(kTemplateAccept));
    dialog_driver::DialogView view;
    ASSERT_TRUE(dialog_driver::Describe(hWnd_Accept, &view));
    EXPECT_EQ(view.caption, "door");
    const SoundState ring = CurrentSound();
    EXPECT_TRUE(ring.playing && ring.looped);
    EXPECT_EQ(ring.source, ringSource);
  }
  // A second unit calls while the telephone has a call: it hears 486, and the call's caller stays.
  void SecondDoorIsTurnedAway() {
    test_support::SippPeer gate;
    ASSERT_TRUE(
        gate.Start(Scenario("door_turned_away.xml"), test_support::FreeUdpPort(), {Loopback(ourPort)}));
    EXPECT_TRUE(PumpUntil([&] { return gate.Wait(std::chrono::milliseconds(0)).has_value(); }));
    EXPECT_EQ(gate.Wait(std::chrono::milliseconds(0)), std::optional<int>(0)) << gate.Log();
    std::lock_guard lock(CallerMutex());
    EXPECT_STREQ(Name_call, "door");
  }
  bool PeerEndedWell() {
    return PumpUntil([&] { return peer.Wait(std::chrono::milliseconds(0)).has_value(); }) &&
           peer.Wait(std::chrono::milliseconds(0)) == std::optional<int>(0);
  }
  // Whether the door answered: the call carries sound.
  static bool CallStands() {
    return RunOnSipThread<bool>([](LinphoneCore* core) {
             LinphoneCall* call = linphone_core_get_current_call(core);
             return call != nullptr && linphone_call_get_state(call) == LinphoneCallStateStreamsRunning;
           })
        .value_or(false);
  }
  std::string ringSource = "resource 103";  // the built-in ring, without a ring.wav here
  static bool NoCallDialogs() {
    return dialog_driver::FindDialog(kTemplateAccept) == 0 &&
           dialog_driver::FindDialog(kTemplateTerminate) == 0;
  }
};

TEST_F(CallsTest, AcceptedCallGoesToTheCopyWatchingTheDoorAndItsHangUpEndsIt) {
  DoorCalls("127.0.0.001:8080");  // the same unit, written another way
  const HWND accept = hWnd_Accept;
  ASSERT_NO_FATAL_FAILURE(SecondDoorIsTurnedAway());
  EXPECT_EQ(hWnd_Accept, accept);
  EXPECT_TRUE(IsDialogOpen(accept) && CurrentSound().playing);
  dialog_driver::Click(hWnd_Accept, IDOK);
  EXPECT_FALSE(CurrentSound().playing);
  ASSERT_TRUE(PumpUntil([] { return ShowData.lin_call == TRUE; })) << peer.Log();
  EXPECT_TRUE(PumpUntil(NoCallDialogs)) << "the Terminate dialog closes when a copy takes the call";
  EXPECT_EQ(hWnd_Accept, 0u);
  EXPECT_EQ(hWnd_Terminate, 0u);
  ASSERT_TRUE(PumpUntil(CallStands)) << peer.Log();
  ASSERT_NO_FATAL_FAILURE(SecondDoorIsTurnedAway());
  EXPECT_TRUE(NoCallDialogs() && ShowData.lin_call == TRUE);

  MyLButtonUp(SKIN_BR_B4_OVER);  // the hang-up button
  EXPECT_TRUE(PeerEndedWell()) << peer.Log();
  EXPECT_TRUE(PumpUntil([] { return ShowData.lin_call == FALSE; }));
  EXPECT_TRUE(boxes.empty()) << boxes.front();

  // The visitor log: the call answered, and each caller turned away a busy visit of its own, although
  // all three came from one address.
  StopVisitRecording();  // what was handed in is written
  std::string why;
  auto log = visitors::VisitorLog::Open(tmp / "data/Kestrova", &why);
  ASSERT_TRUE(log) << why;
  std::vector<visitors::Outcome> outcomes;
  for (const visitors::VisitRow& row : log->Newest(0, 10)) outcomes.push_back(row.visit.outcome);
  using visitors::Outcome;
  EXPECT_EQ(outcomes, (std::vector<Outcome>{Outcome::Busy, Outcome::Busy, Outcome::Answered}));
}

TEST_F(CallsTest, CancelAnswersAndEndsTheCallAtOnce) {
  // A ring.wav in the current folder rings instead of the built-in one.
  char here[1024];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_TRUE(test_support::WriteFile(
      tmp / "ring.wav",
      test_support::ReadFile(std::string(KESTROVA_SOURCE_DIR) + "/resources/sound/ring.wav")));
  ASSERT_EQ(chdir(tmp.path().c_str()), 0);
  ringSource = tmp / "ring.wav";
  DoorCalls("127.0.0.1");
  ASSERT_EQ(chdir(here), 0);
  dialog_driver::CloseBox(hWnd_Accept);  // the close box refuses, as Cancel does
  EXPECT_FALSE(CurrentSound().playing);
  EXPECT_TRUE(PeerEndedWell()) << peer.Log();
  EXPECT_TRUE(NoCallDialogs());
  EXPECT_EQ(ShowData.lin_call, FALSE);
}

TEST_F(CallsTest, UnmatchedCallStaysWithTheTerminateDialogUntilTheDoorHangsUp) {
  DoorCalls("127.0.0.9", true);
  dialog_driver::Press(hWnd_Accept, dialog_driver::Key::Enter);
  ASSERT_TRUE(PumpUntil([] { return dialog_driver::FindDialog(kTemplateTerminate) != 0; }));
  const HWND terminate = dialog_driver::FindDialog(kTemplateTerminate);
  dialog_driver::DialogView view;
  ASSERT_TRUE(dialog_driver::Describe(terminate, &view));
  EXPECT_EQ(view.caption, "door");
  dialog_driver::CloseBox(terminate);  // does nothing
  EXPECT_TRUE(IsDialogOpen(terminate));
  EXPECT_EQ(ShowData.lin_call, FALSE);

  EXPECT_TRUE(PeerEndedWell()) << peer.Log();
  EXPECT_TRUE(PumpUntil(NoCallDialogs)) << "the end of the call closes the Terminate dialog";
  EXPECT_EQ(hWnd_Terminate, 0u);
  // Once the call is gone, the core keeps no history of it: the telephone runs for months.
  std::optional<int> logs;
  const auto count = [](LinphoneCore* c) {
    return linphone_core_get_calls_nb(c) ? -1 : int(bctbx_list_size(linphone_core_get_call_logs(c)));
  };
  EXPECT_TRUE(PumpUntil([&] { return (logs = RunOnSipThread<int>(count)).value_or(-1) >= 0; }));
  EXPECT_EQ(logs, 0);
}

TEST_F(CallsTest, AnAnswerTheSipThreadHadNoTimeForLeavesTheCallWithTheTerminateDialog) {
  DoorCalls("127.0.0.1");
  auto release = std::make_shared<Completion<bool>>();
  Linphone_Thread.Post([release](LinphoneCore*) { release->WaitFor(std::chrono::seconds(10)); });
  dialog_driver::Click(hWnd_Accept, IDOK);
  // The copy's answer waits for the busy SIP thread past its bound: nothing may say a copy has the call.
  const auto bound = static_cast<int>(bounds::Bound(SipThread::kRequestBound).count()) + 500;
  EXPECT_FALSE(PumpUntil([] { return ShowData.lin_call == TRUE || hWnd_Terminate == 0; }, bound));
  release->Complete();
  ASSERT_TRUE(PumpUntil(CallStands)) << "the late answer still answers the call; " << peer.Log();
  ASSERT_TRUE(IsDialogOpen(hWnd_Terminate) && ShowData.lin_call == FALSE);
  dialog_driver::Click(hWnd_Terminate, IDOK);
  EXPECT_TRUE(PeerEndedWell()) << peer.Log();
}

TEST_F(CallsTest, ADoorThatGivesUpWhileRingingClosesTheAcceptDialogAndStopsTheRing) {
  // Without one in the current folder, the ring.wav beside the settings file rings.
  const std::string besideSettings = tmp / "Kestrova/ring.wav";
  ASSERT_TRUE(test_support::WriteFile(
      besideSettings,
      test_support::ReadFile(std::string(KESTROVA_SOURCE_DIR) + "/resources/sound/ring.wav")));
  Set("Window 0", "IP_addr", "127.0.0.1");
  StartTelephone();
  ASSERT_TRUE(peer.Start(Scenario("door_gives_up.xml"), peerPort, {Loopback(ourPort)}));
  ASSERT_TRUE(PumpUntil([] { return dialog_driver::FindDialog(kTemplateAccept) != 0; })) << peer.Log();
  EXPECT_TRUE(CurrentSound().playing);
  EXPECT_EQ(CurrentSound().source, besideSettings);
  EXPECT_TRUE(PeerEndedWell()) << peer.Log();
  EXPECT_TRUE(PumpUntil([] { return NoCallDialogs() && !CurrentSound().playing; }));
  EXPECT_EQ(hWnd_Accept, 0u);
}

TEST_F(CallsTest, CallButtonCallsTheDoorThroughTheTelephone) {
  Set("Window 0", "IP_addr", Loopback(peerPort));
  // Other copies hand the telephone over (code 8) while this one sets it up: it starts once.
  std::atomic<bool> started{false};
  auto others = std::async(std::launch::async, [&] {
    for (int i = 0; i < 300 && !started; ++i) SendMessage(g_hwndMain, MESSAGE, kCodeSipClosing, 4242);
  });
  StartTelephone();
  LinphoneCore* const core = the_core;
  started = true;
  EXPECT_TRUE(
      PumpUntil([&] { return others.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  ASSERT_NE(core, nullptr);
  EXPECT_EQ(the_core, core);
  ASSERT_TRUE(peer.Start(Scenario("door_answers.xml"), peerPort));
  MyLButtonUp(SKIN_BR_B3_OVER);  // the call button: codes 5, 6, tag 6, then 3
  EXPECT_EQ(std::string(CallToDoorPhone), "sip:" + Loopback(peerPort));
  EXPECT_EQ(CallToDoorPhone[127], ' ');
  ASSERT_TRUE(PumpUntil([] { return ShowData.lin_call == TRUE; })) << peer.Log();
  ASSERT_TRUE(PumpUntil(CallStands)) << peer.Log();
  MyLButtonUp(SKIN_BR_B4_OVER);
  EXPECT_TRUE(PeerEndedWell()) << peer.Log();
  EXPECT_TRUE(PumpUntil([] { return ShowData.lin_call == FALSE; }));
  EXPECT_TRUE(boxes.empty()) << boxes.front();
}

}  // namespace
}  // namespace sip_test

namespace sip_test {
namespace {

TEST_F(CallsTest, WithTheServerTheCallerIsMatchedByCallPrefixAndIdentity) {
  Set("SIP", "UseSIP", "1");
  Set("SIP", "SIP_addr", Loopback(test_support::FreeUdpPort()));  // a server that never answers
  Set("Window 0", "SIP_call_prefix", "do");
  Set("Window 0", "SIP_id_doorphone", "or");
  DoorCalls("192.0.2.1");  // the address no longer counts
  dialog_driver::Click(hWnd_Accept, IDOK);
  ASSERT_TRUE(PumpUntil([] { return ShowData.lin_call == TRUE; })) << peer.Log();
  EXPECT_TRUE(PumpUntil(NoCallDialogs));
  MyLButtonUp(SKIN_BR_B4_OVER);
  EXPECT_TRUE(PeerEndedWell()) << peer.Log();
}

}  // namespace
}  // namespace sip_test
