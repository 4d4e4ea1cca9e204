// The volume control started from the settings dialog: stand-in programs on PATH log when they start
// and when they are asked to end.
#include "settings/volume_control.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gui/dialog_driver.h"
#include "tests/support/gui/bare_window.h"
#include "tests/support/temp_folder.h"

namespace {

using test_support::ReadFile;

// A stand-in that logs "start NAME ARGS" and, on SIGTERM, "end NAME ARGS" before it exits. PATH may
// hold nothing but its folder, so it names sleep by its path.
void WriteStandIn(const test_support::TempFolder& folder, const std::string& name, const std::string& log) {
  const std::string script =
      "#!/bin/sh\n/bin/sleep 30 &\n"
      "trap 'echo \"end ${0##*/} $*\" >> " +
      log +
      "; kill $!; exit 0' TERM\n"
      "echo \"start ${0##*/} $*\" >> " +
      log + "\nwait\n";
  ASSERT_TRUE(test_support::WriteFile(folder / name, script));
  ASSERT_EQ(chmod((folder / name).c_str(), 0755), 0);
}

// However the test ends: no stand-in left running, no hook left behind, PATH as it was.
struct Cleanup {
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";
  ~Cleanup() {
    EndVolumeControl();
    dialog_driver::OnDialogOpened(nullptr);
    setenv("PATH", path.c_str(), 1);
  }
};

TEST(VolumeControl, OpensOnTheDevicesTabOneAtATimeFallsBackToTheQtOneAndSaysWhenThereIsNone) {
  const Cleanup cleanup;
  const HWND owner = test_support::OpenBareWindow("VolumeControlTestWindow");
  ASSERT_NE(owner, HWND_NONE);
  test_support::TempFolder gtk, qt, empty, logs;
  const std::string log = logs / "log";
  WriteStandIn(gtk, "pavucontrol", log);
  WriteStandIn(qt, "pavucontrol-qt", log);
  auto logEndsWith = [&](const std::string& line) {
    return test_support::PollUntil(
        [&] {
          const std::string text = ReadFile(log);
          return text.size() >= line.size() &&
                 text.compare(text.size() - line.size(), line.size(), line) == 0;
        },
        std::chrono::seconds(5));
  };

  // Capture, then playback: the first is ended (and has logged so) before the second starts.
  setenv("PATH", gtk.path().c_str(), 1);
  OpenVolumeControl(owner, VolumeDevice::Capture);
  ASSERT_TRUE(logEndsWith("start pavucontrol --tab=4\n")) << ReadFile(log);
  OpenVolumeControl(owner, VolumeDevice::Playback);
  ASSERT_TRUE(logEndsWith("start pavucontrol --tab=3\n")) << ReadFile(log);
  EndVolumeControl();

  // Only the Qt one on PATH.
  setenv("PATH", qt.path().c_str(), 1);
  OpenVolumeControl(owner, VolumeDevice::Capture);
  ASSERT_TRUE(logEndsWith("start pavucontrol-qt --tab=4\n")) << ReadFile(log);

  // Neither: the running one is still ended, a box over the owner says so, and nothing is left to end.
  setenv("PATH", empty.path().c_str(), 1);
  std::vector<std::string> boxes;  // caption|text
  bool ownerBlocked = false;
  dialog_driver::OnDialogOpened([&](HWND dialog) {
    dialog_driver::DialogView view;
    if (dialog_driver::Describe(dialog, &view))
      boxes.push_back(view.caption + "|" + dialog_driver::ControlText(dialog, 0xFFFF));
    ownerBlocked = !dialog_driver::MainWindowTakesInput();
    dialog_driver::Click(dialog, IDOK);
  });
  OpenVolumeControl(owner, VolumeDevice::Playback);
  dialog_driver::OnDialogOpened(nullptr);
  EXPECT_EQ(boxes, std::vector<std::string>{"Error|Error: sndvol"});
  EXPECT_TRUE(ownerBlocked);
  EndVolumeControl();

  // Every end logged before the call that asked for it returned.
  EXPECT_EQ(ReadFile(log),
            "start pavucontrol --tab=4\nend pavucontrol --tab=4\n"
            "start pavucontrol --tab=3\nend pavucontrol --tab=3\n"
            "start pavucontrol-qt --tab=4\nend pavucontrol-qt --tab=4\n");
  test_support::CloseBareWindow(owner);
}

}  // namespace
