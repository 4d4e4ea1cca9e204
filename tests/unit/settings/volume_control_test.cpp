// The volume control started from the settings dialog: stand-ins on PATH log their start and their end.
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
  test_support::TempFolder gtk, qt, empty;
  const std::string log = gtk / "log";
  // PATH holds nothing but the stand-in's folder: sleep is named by its path.
  for (const std::string& program : {gtk / "pavucontrol", qt / "pavucontrol-qt"}) {
    ASSERT_TRUE(test_support::WriteFile(
        program, "#!/bin/sh\n/bin/sleep 30 &\ntrap 'echo \"end ${0##*/} $*\" >> " + log +
                     "; kill $!; exit 0' TERM\necho \"start ${0##*/} $*\" >> " + log + "\nwait\n"));
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);
  }
  // Starts show up in their time; ends are logged before the call that asked for them returns.
  std::string expected;
  auto started = [&](const std::string& more) {
    expected += more;
    return test_support::PollUntil([&] { return ReadFile(log) == expected; }, std::chrono::seconds(5));
  };
  auto ended = [&](const std::string& more) { return ReadFile(log) == (expected += more); };

  setenv("PATH", gtk.path().c_str(), 1);
  OpenVolumeControl(owner, VolumeDevice::Capture);
  ASSERT_TRUE(started("start pavucontrol --tab=4\n")) << ReadFile(log);
  OpenVolumeControl(owner, VolumeDevice::Playback);
  ASSERT_TRUE(started("end pavucontrol --tab=4\nstart pavucontrol --tab=3\n")) << ReadFile(log);
  EndVolumeControl();
  EXPECT_TRUE(ended("end pavucontrol --tab=3\n")) << ReadFile(log);

  setenv("PATH", qt.path().c_str(), 1);
  OpenVolumeControl(owner, VolumeDevice::Capture);
  ASSERT_TRUE(started("start pavucontrol-qt --tab=4\n")) << ReadFile(log);

  // Neither: the running one is still ended, a box over the owner says so, and nothing is remembered.
  setenv("PATH", empty.path().c_str(), 1);
  std::vector<std::string> boxes;  // caption|text|whether the owner took input meanwhile
  dialog_driver::OnDialogOpened([&](HWND dialog) {
    dialog_driver::DialogView view;
    dialog_driver::Describe(dialog, &view);
    boxes.push_back(view.caption + "|" + dialog_driver::ControlText(dialog, 0xFFFF) + "|" +
                    (dialog_driver::MainWindowTakesInput() ? "owner free" : "owner blocked"));
    dialog_driver::Click(dialog, IDOK);
  });
  OpenVolumeControl(owner, VolumeDevice::Playback);
  EXPECT_EQ(boxes, std::vector<std::string>{"Error|Error: sndvol|owner blocked"});
  EXPECT_TRUE(ended("end pavucontrol-qt --tab=4\n")) << ReadFile(log);
  EndVolumeControl();
  EXPECT_TRUE(ended("")) << ReadFile(log);
  test_support::CloseBareWindow(owner);
}

}  // namespace
