// The settings dialog as a user meets it behind the gear: what opening shows, the SIP box, OK's writes
// with their exact texts and order, Cancel writing nothing, the device choice.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/core/profile.h"
#include "platform/gui/dialog_driver.h"
#include "settings/device_lists.h"
#include "sip/base/sound_devices.h"
#include "sip/telephone.h"
#include "state/display_record.h"
#include "state/popup_state.h"
#include "tests/support/gui/program_window.h"
#include "window/button_actions.h"
#include "window/window_proc.h"

namespace {

namespace drive = dialog_driver;

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::RegisterProgramClass(WindowProcMain, kClassName);
    // Linked in, as the program has it once the dialog loaded the telephone's module.
    SetTelephone(SipTelephone());
    ASSERT_NE(test_support::OpenProgramWindow(tmp, kClassName), HWND_NONE);
  }
  void TearDown() override {
    drive::OnDialogOpened({});
    SetTelephone(nullptr);
    test_support::CloseProgramWindow();
  }

  void WriteSettings(const std::string& text) { std::ofstream(ini_file, std::ios::binary) << text; }
  // A press on the gear; `user` acts in the dialog once it is open and must end it.
  void UseDialog(std::function<void(HWND)> user) {
    bool opened = false;
    drive::OnDialogOpened([&](HWND dialog) {
      if (opened || drive::FindDialog(104) != dialog) return;
      opened = true;
      user(dialog);
    });
    MyLButtonUp(SKIN_TR_S);
    drive::OnDialogOpened({});
    ASSERT_TRUE(opened);
  }

  test_support::TempFolder tmp;
};

TEST_F(SettingsDialogTest, OpeningShowsThisCopysValuesAndTheFilesAccountAndCancelWritesNothing) {
  const std::string file =
      "[Window 0]\nIP_addr=10.9.9.9\npop=1\nSIP_id_doorphone=filedoor\n"
      "[Sound]\nSound capture=no such device\n"
      "[SIP]\nSIP_addr=sip.file\nSIP_pass=pw\nSIP_reg_duration=90\nUseSIP=0\n";
  WriteSettings(file);
  std::strcpy(IP_addr, "127.0.0.9");
  std::strcpy(SIP_id_doorphone, "memdoor");
  std::strcpy(SIP_call_prefix, "9");
  std::strcpy(SIP_addr, "stale");
  PopUp = FALSE;
  ShowData.Button = SKIN_TR_C;
  const std::vector<std::string> devices = SoundDeviceNames();

  UseDialog([&](HWND dialog) {
    EXPECT_FALSE(drive::MainWindowTakesInput());
    EXPECT_EQ(ShowData.Button, kNoButton);
    drive::DialogView view;
    ASSERT_TRUE(drive::Describe(dialog, &view));
    EXPECT_TRUE(view.modal);
    std::map<int, drive::ControlView> c;
    for (const drive::ControlView& control : view.controls)
      if (control.id > 0) c.emplace(control.id, control);
    // The address, the unit's identity, the prefix and the pop-up flag from memory; the account from the
    // file, with the default identity for the missing key.
    EXPECT_EQ(c[105].text + "|" + c[116].text + "|" + c[125].text + "|" + c[112].text + "|" + c[113].text +
                  "|" + c[121].text + "|" + c[114].text,
              "127.0.0.9|memdoor|9|Kestrova|sip.file|pw|90");
    EXPECT_FALSE(c[106].checked);
    EXPECT_FALSE(c[115].checked);
    EXPECT_TRUE(c[121].password);
    EXPECT_EQ(c[122].text + "|" + c[117].text, "Kestrova IP address:|");
    for (int id : {113, 112, 114, 121, 116, 125}) EXPECT_TRUE(c[id].readOnly) << id;
    EXPECT_FALSE(c[105].readOnly);
    // The registration state shows inside the dialog, under the address field.
    EXPECT_GT(c[117].y, c[105].y);
    EXPECT_LE(c[117].y + c[117].height, view.height);
    // Both lists name every device in one order; an unknown stored name shows the first.
    EXPECT_EQ(c[107].items, devices);
    EXPECT_EQ(c[108].items, devices);
    EXPECT_EQ(c[107].currentIndex, devices.empty() ? -1 : 0);

    drive::Click(dialog, 115);
    EXPECT_EQ(drive::ControlText(dialog, 122), "Kestrova video IP address:");
    drive::Type(dialog, 112, "x");
    EXPECT_EQ(drive::ControlText(dialog, 112), "Kestrovax");
    drive::Click(dialog, 115);
    drive::Type(dialog, 112, "y");
    EXPECT_EQ(drive::ControlText(dialog, 112) + "|" + drive::ControlText(dialog, 122),
              "Kestrovax|Kestrova IP address:");
    if (!devices.empty()) drive::Choose(dialog, 107, static_cast<int>(devices.size()) - 1);
    drive::Press(dialog, drive::Key::Escape);
  });
  EXPECT_EQ(FileText(ini_file), file);
  // A picked device stays chosen in memory until the dialog reads the file again.
  EXPECT_STREQ(Snd_capture, devices.empty() ? "no such device" : devices.back().c_str());
  EXPECT_STREQ(IP_addr, "127.0.0.9");
  EXPECT_TRUE(drive::MainWindowTakesInput());
}

TEST_F(SettingsDialogTest,
       OkWritesEveryKeyInOrderWithTheDefaultsForEmptyFieldsAndReconnectsOnlyForAnotherUnit) {
  WriteSettings("");
  std::strcpy(IP_addr, "192.168.1.250");
  ShowData.Kill_TCP = FALSE;
  hide = FALSE;
  show = FALSE;
  UseDialog([](HWND dialog) {
    SetDlgItemTextA(dialog, 105, "");
    SetDlgItemTextA(dialog, 112, "");
    SetDlgItemTextA(dialog, 114, "");
    drive::Click(dialog, 115);
    drive::Click(dialog, 106);
    drive::Type(dialog, 116, "door7");
    drive::Type(dialog, 125, "*");
    drive::Type(dialog, 121, "p");
    drive::Type(dialog, 113, "srv");
    drive::Press(dialog, drive::Key::Enter);
  });
  EXPECT_EQ(FileText(ini_file),
            "[Sound]\nSound capture=\nSound playback=\n\n"
            "[SIP]\nSIP_addr=srv\nSIP_id=Kestrova\nSIP_pass=p\nSIP_reg_duration=\nUseSIP=1\n\n"
            "[Window 0]\nIP_addr=192.168.001.250\nSIP_id_doorphone=door7\nSIP_call_prefix=*\npop=1\n");
  EXPECT_STREQ(IP_addr, "192.168.001.250");
  EXPECT_EQ(ShowData.Kill_TCP, FALSE) << "only the notation of the address changed";
  EXPECT_EQ(PopUp, TRUE);
  EXPECT_EQ(hide && show, TRUE);
  EXPECT_EQ(SIP_reg_duration, 0);
  EXPECT_EQ(UseSIP, TRUE);
  EXPECT_STREQ(SIP_id, "Kestrova");

  // Another unit: the reader drops the old one; the expiry is saved as typed.
  UseDialog([](HWND dialog) {
    // An empty expiry in the file reads as the default again.
    EXPECT_EQ(drive::ControlText(dialog, 114), "3600");
    SetDlgItemTextA(dialog, 105, "127.0.0.2");
    SetDlgItemTextA(dialog, 114, "");
    drive::Type(dialog, 114, "0120");
    drive::Press(dialog, drive::Key::Enter);
  });
  EXPECT_EQ(ShowData.Kill_TCP, TRUE);
  char expiry[32];
  GetPrivateProfileString("SIP", "SIP_reg_duration", "", expiry, sizeof expiry, ini_file);
  EXPECT_STREQ(expiry, "0120");
  EXPECT_EQ(SIP_reg_duration, 120);

  // Another unit behind the same address, on another port.
  ShowData.Kill_TCP = FALSE;
  UseDialog([](HWND dialog) {
    drive::Type(dialog, 105, ":8080");
    drive::Press(dialog, drive::Key::Enter);
  });
  EXPECT_STREQ(IP_addr, "127.0.0.2:8080");
  EXPECT_EQ(ShowData.Kill_TCP, TRUE);

  // A unit by host name, kept as it was: the connection stays.
  std::strcpy(IP_addr, "door.local");
  ShowData.Kill_TCP = FALSE;
  UseDialog([](HWND dialog) { drive::Press(dialog, drive::Key::Enter); });
  EXPECT_EQ(ShowData.Kill_TCP, FALSE);
}

TEST_F(SettingsDialogTest, OkSavesWhatReadsBackAsTypedOrNothingAndSaysWhy) {
  // A file from elsewhere: a Latin-1 password, an identity with blanks, a mode others can read.
  WriteSettings("[SIP]\nSIP_pass=p\xE9ss\nSIP_id=\" id \"\n");
  chmod(ini_file, 0666);
  std::strcpy(IP_addr, "door1.lan.example.org");
  ShowData.Kill_TCP = FALSE;
  UseDialog([](HWND dialog) {
    EXPECT_EQ(drive::ControlText(dialog, 121), "p\xC3\xA9ss");
    SetDlgItemTextA(dialog, 105, "door2.lan.example.org");
    SetDlgItemTextA(dialog, 116, "pasted\r\nline");
    EXPECT_EQ(drive::ControlText(dialog, 116), "pastedline");
    SetDlgItemTextA(dialog, 114, "4294967296");
    drive::Press(dialog, drive::Key::Enter);
  });
  const std::string saved = FileText(ini_file);
  for (const char* line : {"SIP_pass=p\xE9ss\n", "SIP_id=\" id \"\n", "SIP_id_doorphone=pastedline\n"})
    EXPECT_NE(saved.find(line), std::string::npos) << line << " in " << saved;
  EXPECT_EQ(SIP_reg_duration, INT_MAX);  // as the file reads it back
  EXPECT_EQ(GetPrivateProfileInt("SIP", "SIP_reg_duration", 0, ini_file), INT_MAX);
  EXPECT_EQ(ShowData.Kill_TCP, TRUE) << "another unit, by host name";
  struct stat st {};
  ASSERT_EQ(stat(ini_file, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // What cannot be saved is said, nothing is taken, and the dialog stays open with what was typed.
  ShowData.Kill_TCP = FALSE;
  const std::string file(ini_file), away = file + ".away";
  std::vector<std::string> boxes;
  UseDialog([&](HWND dialog) {
    drive::OnDialogOpened([&](HWND box) {
      boxes.push_back(drive::ControlText(box, kMessageBoxTextId));
      drive::Press(box, drive::Key::Enter);
    });
    SetDlgItemTextA(dialog, 105, "x@127.0.0.1");
    drive::Press(dialog, drive::Key::Enter);
    SetDlgItemTextA(dialog, 105, "127.0.0.3");
    ASSERT_EQ(rename(file.c_str(), away.c_str()), 0);
    ASSERT_EQ(mkdir(file.c_str(), 0700), 0);  // unreadable as a settings file
    drive::Press(dialog, drive::Key::Enter);
    rmdir(file.c_str());
    rename(away.c_str(), file.c_str());
    if (geteuid() == 0 && chown(file.c_str(), 65534, 65534) == 0) drive::Press(dialog, drive::Key::Enter);
    EXPECT_EQ(drive::FindDialog(104), dialog);
    EXPECT_EQ(drive::ControlText(dialog, 105), "127.0.0.3");
    drive::Press(dialog, drive::Key::Escape);
  });
  const std::string said[] = {"\"@\"", file + ": it cannot be read", file + ": it belongs to another user"};
  ASSERT_EQ(boxes.size(), geteuid() == 0 ? 3u : 2u);
  for (std::size_t i = 0; i < boxes.size(); ++i)
    EXPECT_NE(boxes[i].find(said[i]), std::string::npos) << boxes[i];
  EXPECT_EQ(FileText(ini_file), saved);
  EXPECT_STREQ(IP_addr, "door2.lan.example.org");
  EXPECT_EQ(ShowData.Kill_TCP, FALSE);
}

TEST(DeviceLists, TheStoredNamePicksTheLastOfEqualNamesAndAnUnknownOneTheFirst) {
  const std::vector<std::string> names{"ALSA: a", "ALSA: twin", "ALSA: twin", "PulseAudio: b"};
  EXPECT_EQ(StoredDeviceIndex(names, "ALSA: twin"), 2);
  EXPECT_EQ(StoredDeviceIndex(names, "PulseAudio: b"), 3);
  EXPECT_EQ(StoredDeviceIndex(names, "gone"), 0);
  EXPECT_EQ(StoredDeviceIndex({}, ""), 0);
}

}  // namespace
