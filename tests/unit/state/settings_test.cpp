// Where the settings file lies and what start-up reads from it.
#include "state/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "state/display_record.h"
#include "state/program.h"
#include "tests/support/temp_folder.h"

namespace {

using test_support::TempFolder;
using test_support::WriteFile;

const char* const kBaseVariables[] = {"ALLUSERSPROFILE", "PROGRAMDATA", "APPDATA", "LOCALAPPDATA", "TEMP"};

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kBaseVariables) unsetenv(name);
    setenv("XDG_RUNTIME_DIR", (tmp / "run").c_str(), 1);
    mkdir((tmp / "run").c_str(), 0700);
    PocSpusteni = 1;
  }
  void TearDown() override {
    for (const char* name : kBaseVariables) unsetenv(name);
  }
  TempFolder tmp;
};

TEST_F(SettingsTest, FolderComesFromTheFirstVariableSetInOrder) {
  mkdir((tmp / "temp").c_str(), 0700);
  mkdir((tmp / "local").c_str(), 0700);
  setenv("TEMP", (tmp / "temp").c_str(), 1);
  setenv("LOCALAPPDATA", (tmp / "local").c_str(), 1);
  AccessIniFile();
  EXPECT_EQ(std::string(ini_file), tmp / "local/Kestrova/Kestrova.ini");

  mkdir((tmp / "all").c_str(), 0700);
  setenv("ALLUSERSPROFILE", (tmp / "all").c_str(), 1);
  AccessIniFile();
  EXPECT_EQ(std::string(ini_file), tmp / "all/Kestrova/Kestrova.ini");
  struct stat st {};
  ASSERT_EQ(stat((tmp / "all/Kestrova").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(SettingsTest, WithoutAnyVariableTheConfigHomeTakesThePlaceOfTheDriveAndIsMadeWhenMissing) {
  setenv("XDG_CONFIG_HOME", (tmp / "config").c_str(), 1);
  mkdir((tmp / "config").c_str(), 0700);
  AccessIniFile();
  EXPECT_EQ(std::string(ini_file), tmp / "config/Kestrova/Kestrova.ini");
  unsetenv("XDG_CONFIG_HOME");

  // A new account: no ~/.config yet. It is made, private, and the settings file can be written.
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", (tmp / "home").c_str(), 1);
  AccessIniFile();
  EXPECT_EQ(std::string(ini_file), tmp / "home/.config/Kestrova/Kestrova.ini");
  struct stat st {};
  ASSERT_EQ(stat((tmp / "home/.config").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(WriteFile(ini_file, "[SIP]\n"));
  setenv("HOME", home.c_str(), 1);
}

TEST_F(SettingsTest, EachCopyHasAPictureFileOfItsOwnInTheRuntimeFolder) {
  setenv("ALLUSERSPROFILE", tmp.path().c_str(), 1);
  AccessIniFile();
  EXPECT_EQ(std::string(NameJPEG), tmp / "run/kestrova/Kestrova.tmp");
  PocSpusteni = 3;
  AccessIniFile();
  EXPECT_EQ(std::string(NameJPEG), tmp / "run/kestrova/Kestrova3.tmp");
}

TEST_F(SettingsTest, MissingKeysTakeTheirDefaults) {
  setenv("ALLUSERSPROFILE", tmp.path().c_str(), 1);
  AccessIniFile();
  ASSERT_TRUE(WriteFile(ini_file, "[SIP]\nSIP_addr=sip.example\nUseSIP=1\n"));
  ReadSettings();
  EXPECT_EQ(ShowData.ClientWidth, 336);
  EXPECT_EQ(ShowData.ClientHeight, 301);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 0);
  EXPECT_STREQ(IP_addr, "192.168.1.250");
  EXPECT_EQ(PopUp, 0);
  EXPECT_STREQ(SIP_id, "Kestrova");
  EXPECT_EQ(SIP_reg_duration, 3600);
  EXPECT_STREQ(SIP_addr, "sip.example");
  EXPECT_EQ(UseSIP, 1);
  EXPECT_STREQ(SIP_id_doorphone, "");

  unlink(ini_file);
  ReadSettings();
  EXPECT_STREQ(SIP_addr, "");
  EXPECT_EQ(UseSIP, 0);
}

TEST_F(SettingsTest, AWindowsMadeFileReadsAsOnWindows) {
  setenv("ALLUSERSPROFILE", tmp.path().c_str(), 1);
  AccessIniFile();
  const std::string longAddress(100, '7');
  ASSERT_TRUE(WriteFile(ini_file,
                        "\xEF\xBB\xBF[WINDOW 0]\r\n"
                        "ip_addr = " +
                            longAddress +
                            "\r\n"
                            "Left=-20\r\nTOP = -5\r\nwidth=420\r\nHeight=330\r\npop=1\r\n"
                            "[sound]\r\nSound Capture=ALSA: " +
                            std::string(200, 'c') + "\r\n"));
  ReadSettings();
  EXPECT_EQ(std::string(IP_addr), std::string(63, '7'));
  EXPECT_EQ(left, -20);
  EXPECT_EQ(top, -5);
  EXPECT_EQ(ShowData.ClientWidth, 420);
  EXPECT_EQ(ShowData.ClientHeight, 330);
  EXPECT_EQ(PopUp, 1);
  EXPECT_EQ(std::string(Snd_capture).size(), sizeof Snd_capture - 1);
  ShowData.ClientWidth = 336;
  ShowData.ClientHeight = 301;
}

}  // namespace
