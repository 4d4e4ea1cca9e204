// The main window on the offscreen platform with its tray record, and a door simulator on loopback, for
// reader tests.
#include "tests/integration/video/reader_fixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "app/notify_icon.h"
#include "platform/gui/tray.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "skin/skin.h"
#include "state/popup_state.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/tray_record.h"
#include "tests/support/gui/program_window.h"
#include "video/download_mjpeg.h"
#include "video/reader_thread.h"
#include "window/window_proc.h"

namespace video_test {

// Far from the periodic reconnect, so that only the test that wants it sees one.
constexpr int kCountStart = -1000000;

void ReaderTest::SetUpTestSuite() {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  test_support::EnsurePlatform();
}

void ReaderTest::SetUp() {
  test_support::RegisterProgramClass(WindowProcMain, kClassName);
  PocetSnimku = kCountStart;
  completedBase = kCountStart;
  ASSERT_NE(test_support::OpenProgramWindow(tmp, kClassName), HWND_NONE);
  ASSERT_TRUE(AddNotifyIcon());
}

void ReaderTest::TearDown() {
  AskReaderToStop();
  AwaitReaderEnd();
  DeleteNotifyIcon();
  test_support::CloseProgramWindow();
  if (unit) unit->Stop();
}

void ReaderTest::StartUnit(int port, int fps) {
  doorsim::Options o;
  o.port = static_cast<uint16_t>(port);
  o.width = 160;
  o.height = 120;
  o.fps = fps;
  unit = std::make_unique<doorsim::Server>(o);
  ASSERT_TRUE(unit->Start()) << unit->LastError();
  std::memset(IP_addr, 0, sizeof IP_addr);
  std::strncpy(IP_addr, unit->Address().c_str(), sizeof IP_addr - 1);
}

void ReaderTest::SetFault(doorsim::FaultMode mode) {
  doorsim::Fault f;
  f.mode = mode;
  unit->SetFault(f);
}

std::string ReaderTest::WindowText() const {
  char text[256];
  GetWindowText(g_hwndMain, text, sizeof text);
  return text;
}

std::string ReaderTest::Tip() const { return NotifyIconTip(1); }

std::string ReaderTest::Title() const {
  const t_ShowData s = ShowData;
  return s.title;
}

int ReaderTest::Completed() const { return PocetSnimku - completedBase; }

bool ReaderTest::PictureFileExists() const {
  struct stat st {};
  return stat(NameJPEG, &st) == 0;
}

}  // namespace video_test
