// The volume control where the desktop has not the first choice: the second one, or a box saying so. (The
// first choice, one at a time and ended at shutdown, is checked end to end.)
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

TEST(VolumeControl, FallsBackToTheQtOneAndSaysSoWhenThereIsNone) {
  const std::string path = std::getenv("PATH");
  const HWND owner = test_support::OpenBareWindow("VolumeControlTestWindow");
  ASSERT_NE(owner, HWND_NONE);
  test_support::TempFolder qt, empty;
  const std::string log = qt / "log";
  ASSERT_TRUE(
      test_support::WriteFile(qt / "pavucontrol-qt", "#!/bin/sh\ntrap 'echo end >> " + log +
                                                         "; kill $!; exit 0' TERM\necho \"start $*\" >> " +
                                                         log + "\n/bin/sleep 30 >/dev/null 2>&1 & wait\n"));
  ASSERT_EQ(chmod((qt / "pavucontrol-qt").c_str(), 0755), 0);
  setenv("PATH", qt.path().c_str(), 1);
  OpenVolumeControl(owner, VolumeDevice::Capture);
  EXPECT_TRUE(
      test_support::PollUntil([&] { return ReadFile(log) == "start --tab=4\n"; }, std::chrono::seconds(5)));

  // Neither: the running one is still ended, a box over the owner says so, and nothing is remembered.
  setenv("PATH", empty.path().c_str(), 1);
  std::vector<std::string> boxes;
  dialog_driver::OnDialogOpened([&](HWND dialog) {
    dialog_driver::DialogView view;
    dialog_driver::Describe(dialog, &view);
    boxes.push_back(view.caption + "|" + dialog_driver::ControlText(dialog, 0xFFFF) + "|" +
                    (dialog_driver::MainWindowTakesInput() ? "owner free" : "owner blocked"));
    dialog_driver::Click(dialog, IDOK);
  });
  OpenVolumeControl(owner, VolumeDevice::Playback);
  dialog_driver::OnDialogOpened(nullptr);
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(boxes, std::vector<std::string>{"Error|Error: sndvol|owner blocked"});
  EXPECT_EQ(ReadFile(log), "start --tab=4\nend\n");
  EndVolumeControl();
  test_support::CloseBareWindow(owner);
}

}  // namespace
