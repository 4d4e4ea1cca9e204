// The video reader against the simulated unit: title, pop-up, restart cycle, periodic reconnect, stops.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/popup_state.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/integration/video/reader_fixture.h"
#include "tests/support/fakes/fake_thread_start.h"
#include "video/download_mjpeg.h"
#include "video/reader_thread.h"

namespace {

using doorsim::FaultMode;
using video_test::ReaderTest;

constexpr const char* kProgram = "Kestrova_1.39";

TEST_F(ReaderTest, TitleGoesToWindowTextTipAndTitleBarAndBackToTheProgramNameAtTheEnd) {
  StartUnit();
  ShowWindow(g_hwndMain, SW_SHOW);
  StartReaderThread();
  ASSERT_TRUE(WaitFor([&] {
    return WindowText() == "Front door" && Tip() == "Front door" && Title() == "Front door";
  })) << WindowText()
      << " / " << Tip() << " / " << Title();
  EXPECT_FALSE(ShowData.Kill_TCP);
  unit->SetTitle("Back door");
  ASSERT_TRUE(WaitFor([&] { return WindowText() == "Back door" && Title() == "Back door"; }));
  // While a reader runs, timer 0 is off: no second connection however long it runs.
  ASSERT_TRUE(WaitFor([&] { return Completed() >= 12; }));
  EXPECT_EQ(unit->StreamsAccepted(), 1u);
  EXPECT_TRUE(PictureFileExists());

  unit->Stop();  // the body ends: the reader ends and cleans up
  ASSERT_TRUE(WaitFor([&] { return ShowData.Kill_TCP && !ReaderThreadRunning(); }));
  EXPECT_TRUE(WaitFor([&] { return WindowText() == kProgram && Tip() == kProgram; }));
  EXPECT_EQ(Title(), "");
  EXPECT_FALSE(ShowData.call);
  EXPECT_FALSE(PictureFileExists());
}

TEST_F(ReaderTest, TheCountGoesOnAcrossReadersAndEvery102ndPictureReconnects) {
  StartUnit(0, 40);  // the window stays hidden: nothing is drawn, the reader keeps up
  doorsim::Fault close;
  close.mode = FaultMode::Close;
  close.after = 60;
  unit->SetFault(close);
  PocetSnimku = 0;
  const unsigned readersBefore = ReaderThreadsStarted();
  StartReaderThread();
  ASSERT_TRUE(
      WaitFor([&] { return ShowData.Kill_TCP && unit->StreamsAccepted() == 1 && !ReaderThreadRunning(); }));
  EXPECT_EQ(PocetSnimku, 60);

  // From now on the unit closes each connection right after its 102nd picture: a reader that reconnects
  // on its 102nd picture never sees the end of a stream, so no reader ends any more.
  close.after = 102;
  unit->SetFault(close);
  const std::uint64_t sentBefore = unit->PicturesSent();
  // The timer starts a second reader; its 42nd picture is the 102nd since the count began.
  ASSERT_TRUE(WaitFor([&] { return unit->StreamsAccepted() == 3; }));
  EXPECT_LT(unit->PicturesSent() - sentBefore, 60u) << "the count did not go on across readers";
  // 102 pictures later the next reconnect comes, on the stream's last picture.
  ASSERT_TRUE(WaitFor([&] { return unit->StreamsAccepted() == 4; }));
  EXPECT_EQ(ReaderThreadsStarted(), readersBefore + 2) << "a reader saw a stream end: a reconnect came late";
  EXPECT_TRUE(WaitFor([&] { return !ShowData.Kill_TCP && WindowText() == "Front door"; }));
}

TEST_F(ReaderTest, AThreadTheSystemRefusesIsAReaderThatEndedAndTheTimerTriesAgain) {
  StartUnit();
  SetTimer(g_hwndMain, kReaderTimer, kReaderTimerPeriodMs);  // as start-up sets it
  const unsigned readersBefore = ReaderThreadsStarted();
  test_support::RefuseThreadStarts(2);
  StartReaderThread();
  EXPECT_FALSE(ReaderThreadRunning());
  EXPECT_TRUE(ShowData.Kill_TCP);
  // The first tick is refused too; the second one starts the reader.
  ASSERT_TRUE(WaitFor([&] { return WindowText() == "Front door"; }));
  EXPECT_EQ(ReaderThreadsStarted(), readersBefore + 1);
  EXPECT_FALSE(ShowData.Kill_TCP);
}

// On screen, not minimised.
bool Shown() { return IsWindowVisible(g_hwndMain) && !IsIconic(g_hwndMain); }

TEST_F(ReaderTest, PopUpShowsTheWindowOnACallAndPutsItAwayAfter) {
  StartUnit();
  PopUp = TRUE;
  StartReaderThread();  // the window is hidden, no call
  unit->SetFlag('1');
  ASSERT_TRUE(WaitFor([&] { return Shown() && ShowData.call; }));
  unit->SetFlag('0');
  // The offscreen desktop has no notification area: the window goes to the task bar, where the user
  // finds it, rather than out of sight for good.
  ASSERT_TRUE(WaitFor([&] { return IsIconic(g_hwndMain) && !ShowData.call; }));
  EXPECT_TRUE(IsWindowVisible(g_hwndMain)) << "a minimised window counts as visible";
  EXPECT_EQ(ShowData.Button, kNoButton);

  // Restored by the user while no call is signalled: it stays through pictures with flag '0'.
  ShowData.Button = 11;
  ShowWindow(g_hwndMain, SW_RESTORE);
  hide = FALSE;
  int seen = Completed();
  ASSERT_TRUE(WaitFor([&] { return Completed() >= seen + 5; }));
  EXPECT_TRUE(Shown());
  // A call ('2' counts as one) and its end put it away again; the next call brings it back.
  unit->SetFlag('2');
  ASSERT_TRUE(WaitFor([&] { return bool(ShowData.call); }));
  EXPECT_TRUE(hide);
  unit->SetFlag('0');
  ASSERT_TRUE(WaitFor([&] { return IsIconic(g_hwndMain); }));
  unit->SetFlag('1');
  ASSERT_TRUE(WaitFor([&] { return Shown(); }));

  // Hidden by the user during a call: it does not pop up again until the call has ended.
  ShowWindow(g_hwndMain, SW_HIDE);
  show = FALSE;
  seen = Completed();
  ASSERT_TRUE(WaitFor([&] { return Completed() >= seen + 5; }));
  EXPECT_FALSE(IsWindowVisible(g_hwndMain));
  unit->SetFlag('x');  // any other byte changes nothing
  seen = Completed();
  ASSERT_TRUE(WaitFor([&] { return Completed() >= seen + 5; }));
  EXPECT_TRUE(ShowData.call);
  EXPECT_FALSE(show);
  unit->SetFlag('0');
  ASSERT_TRUE(WaitFor([&] { return bool(show) && !ShowData.call; }));
  unit->SetFlag('1');
  EXPECT_TRUE(WaitFor([&] { return Shown(); }));
}

TEST_F(ReaderTest, WithoutPopUpTheFlagOnlyLightsTheLamp) {
  StartUnit();
  StartReaderThread();
  unit->SetFlag('1');
  ASSERT_TRUE(WaitFor([&] { return bool(ShowData.call); }));
  EXPECT_FALSE(IsWindowVisible(g_hwndMain));
  ShowWindow(g_hwndMain, SW_SHOW);
  unit->SetFlag('0');
  ASSERT_TRUE(WaitFor([&] { return !ShowData.call; }));
  const int seen = Completed();
  ASSERT_TRUE(WaitFor([&] { return Completed() >= seen + 5; }));
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));
}

TEST_F(ReaderTest, AStopEndsAReaderBlockedOnASilentUnitAndCleansUp) {
  StartUnit();
  SetFault(FaultMode::Stall);
  StartReaderThread();
  ASSERT_TRUE(WaitFor([&] { return unit->OpenStreams() == 1 && !ShowData.Kill_TCP && PictureFileExists(); }));

  // A restart asked for while the reader waits (settings changed): the old one goes, a new one comes.
  ShowData.Kill_TCP = TRUE;
  ReaderRestartTick();
  ASSERT_TRUE(WaitFor([&] { return unit->StreamsAccepted() == 2 && !ShowData.Kill_TCP; }));

  // Shutdown ends the blocked reader well before a silent unit's read fails by itself.
  AskReaderToStop();
  AwaitReaderEnd();
  EXPECT_FALSE(ReaderThreadRunning());
  EXPECT_FALSE(PictureFileExists()) << "the reader did not get to its end steps";
  EXPECT_EQ(WindowText(), kProgram);
  EXPECT_TRUE(WaitFor([&] { return unit->OpenStreams() == 0; }));
  ReaderRestartTick();  // after the stop at shutdown no reader starts
  EXPECT_FALSE(ReaderThreadRunning());
}

TEST_F(ReaderTest, AnUnusablePictureFileStopsNeitherFlagsNorTitles) {
  StartUnit();
  std::snprintf(NameJPEG, sizeof NameJPEG, "%s", (tmp / "no/such/folder/Kestrova.tmp").c_str());
  StartReaderThread();
  unit->SetFlag('1');
  ASSERT_TRUE(WaitFor([&] { return ShowData.call && WindowText() == "Front door" && Completed() >= 5; }));
  EXPECT_FALSE(ShowData.Kill_TCP);
}

TEST_F(ReaderTest, AnAddressFillingItsWholeBufferIsUsedSafely) {
  // Not terminated within its 64 bytes, as a damaged settings file might leave it.
  std::memset(IP_addr, '/', sizeof IP_addr);
  std::memcpy(IP_addr, "127.0.0.1:1", 11);
  StartReaderThread();
  ASSERT_TRUE(WaitFor([&] { return ReaderThreadsStarted() >= 2 + 1; }, 15000)) << "the restart cycle stopped";
  EXPECT_TRUE(ShowData.Kill_TCP || ReaderThreadRunning());
}

}  // namespace
