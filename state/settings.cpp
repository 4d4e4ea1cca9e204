// The settings variables and their reading at start-up.
#include "state/settings.h"

#include <cstdio>
#include <cstring>

#include "platform/core/profile.h"
#include "state/display_record.h"

char ini_file[1024];
char NameJPEG[1024];
char WindowSection[32] = "Window 0";
bool SettingsDialogOpen = false;

char IP_addr[64];
std::atomic<BOOL> PopUp{FALSE};
int left = 0;
int top = 0;
char SIP_id_doorphone[64];
char SIP_call_prefix[64];
char Snd_capture[128];
char Snd_playback[128];
char SIP_addr[64];
char SIP_id[64];
char SIP_pass[64];
char SIP_realm[64];
std::atomic<int> SIP_reg_duration{3600};
std::atomic<BOOL> UseSIP{FALSE};
int SIP_port = 5060;

// Constant-initialised: usable before and after every other static.
Mutex IP_addrLock;
Mutex SettingsTextLock;

void CopyIP_addr(char (&address)[sizeof IP_addr]) {
  Lock lock(IP_addrMutex());
  std::memcpy(address, IP_addr, sizeof address);
  address[sizeof address - 1] = '\0';
}

void ReadSettings() {
  const char* w = WindowSection;
  {
    Lock lock(IP_addrMutex());
    GetPrivateProfileString(w, "IP_addr", "192.168.1.250", IP_addr, sizeof IP_addr, ini_file);
  }
  PopUp = GetPrivateProfileInt(w, "pop", 0, ini_file);
  left = GetPrivateProfileInt(w, "Left", 0, ini_file);
  top = GetPrivateProfileInt(w, "Top", 0, ini_file);
  ShowData.ClientWidth = GetPrivateProfileInt(w, "Width", kDefaultClientWidth, ini_file);
  ShowData.ClientHeight = GetPrivateProfileInt(w, "Height", kDefaultClientHeight, ini_file);
  {
    Lock lock(SettingsTextMutex());
    GetPrivateProfileString(w, "SIP_id_doorphone", "", SIP_id_doorphone, sizeof SIP_id_doorphone, ini_file);
    GetPrivateProfileString(w, "SIP_call_prefix", "", SIP_call_prefix, sizeof SIP_call_prefix, ini_file);
  }
  ReadSipAccountSettings();
  {
    Lock lock(SettingsTextMutex());
    GetPrivateProfileString("SIP", "SIP_realm", "", SIP_realm, sizeof SIP_realm, ini_file);
  }
  SIP_port = GetPrivateProfileInt("SIP", "SIP_port", 5060, ini_file);
}

void ReadSipAccountSettings() {
  Lock lock(SettingsTextMutex());
  GetPrivateProfileString("Sound", "Sound capture", "", Snd_capture, sizeof Snd_capture, ini_file);
  GetPrivateProfileString("Sound", "Sound playback", "", Snd_playback, sizeof Snd_playback, ini_file);
  GetPrivateProfileString("SIP", "SIP_addr", "", SIP_addr, sizeof SIP_addr, ini_file);
  GetPrivateProfileString("SIP", "SIP_id", "Kestrova", SIP_id, sizeof SIP_id, ini_file);
  GetPrivateProfileString("SIP", "SIP_pass", "", SIP_pass, sizeof SIP_pass, ini_file);
  SIP_reg_duration = GetPrivateProfileInt("SIP", "SIP_reg_duration", 3600, ini_file);
  UseSIP = GetPrivateProfileInt("SIP", "UseSIP", 0, ini_file);
}

void WriteSettingNumber(const char* section, const char* key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%i", value);
  WritePrivateProfileString(section, key, text, ini_file);
}
