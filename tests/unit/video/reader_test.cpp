// The video reader against the simulated unit: title, pop-up, restart cycle, periodic reconnect, stops.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/popup_state.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/unit/video/reader_fixture.h"
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

TEST_F(ReaderTest, TheTimerStartsANewReaderAfterEachEndAndTheCountGoesOnAcrossReaders) {
  StartUnit(0, 40);  // the window stays hidden: nothing is drawn, the reader keeps up
  doorsim::Fault close;
  close.mode = FaultMode::Close;
  close.after = 60;
  unit->SetFault(close);
  StartReaderThread();
  ASSERT_TRUE(
      WaitFor([&] { return ShowData.Kill_TCP && unit->StreamsAccepted() == 1 && !ReaderThreadRunning(); }));
  EXPECT_EQ(Completed(), 60);
  SetFault(FaultMode::None);
  PocetSnimku = 60;  // as if these had been the first pictures since the program started
  const std::uint64_t sentBefore = unit->PicturesSent();
  // The 102nd picture reconnects: 42 pictures into the second reader's connection, not 102.
  ASSERT_TRUE(WaitFor([&] { return unit->StreamsAccepted() == 3; }, 20000));
  EXPECT_LT(unit->PicturesSent() - sentBefore, 60u);
  EXPECT_LT(PocetSnimku, 60);
  EXPECT_TRUE(WaitFor([&] { return !ShowData.Kill_TCP && WindowText() == "Front door"; }));
}

TEST_F(ReaderTest, PopUpShowsTheWindowOnACallAndHidesItAfter) {
  StartUnit();
  PopUp = TRUE;
  StartReaderThread();  // the window is hidden, no call
  unit->SetFlag('1');
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(g_hwndMain) && ShowData.call; }));
  unit->SetFlag('0');
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(g_hwndMain) && !ShowData.call; }));
  EXPECT_EQ(ShowData.Button, kNoButton);

  // Restored by the user while no call is signalled: it stays through pictures with flag '0'.
  ShowData.Button = 11;
  ShowWindow(g_hwndMain, SW_RESTORE);
  hide = FALSE;
  int seen = Completed();
  ASSERT_TRUE(WaitFor([&] { return Completed() >= seen + 5; }));
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));
  // A call ('2' counts as one) and its end hide it again.
  unit->SetFlag('2');
  ASSERT_TRUE(WaitFor([&] { return bool(ShowData.call); }));
  EXPECT_TRUE(hide);
  unit->SetFlag('0');
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(g_hwndMain); }));

  // Hidden by the user during a call: it does not pop up again until the call has ended.
  unit->SetFlag('1');
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(g_hwndMain); }));
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
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(g_hwndMain); }));
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

  StopReaderThread();  // ends the blocked reader well before a silent unit's read fails by itself
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
