// The settings: their variables, the settings file's place and the reading at start-up.
#pragma once

#include <atomic>

#include "platform/core/annotated_mutex.h"
#include "platform/core/types.h"
#include "platform/core/window_thread.h"

// Paths, fixed for the life of the process.
extern char ini_file[1024];  // the settings file
extern char NameJPEG[1024];  // this copy's temporary picture file
// While the settings dialog runs, timer 0 starts no video reader (a reader that ends meanwhile arms it
// again).
extern bool SettingsDialogOpen GUARDED_BY(WindowThread);
extern char WindowSection[32];  // "Window 0": every copy uses this one section

// Guards IP_addr: the window thread writes it (start-up, the settings dialog) while the video reader and
// the relay commands read it on their threads. Every reader, the window thread too, holds it or takes a
// copy with CopyIP_addr. The analysis sees reads of its characters, not the text passed on by name
// (that decays to a pointer unseen): pass on a copy.
extern Mutex IP_addrLock;
inline Mutex& IP_addrMutex() RETURN_CAPABILITY(IP_addrLock) { return IP_addrLock; }
// Guards the other texts among the settings (SIP_*, Snd_*), written on the window thread by start-up,
// the telephone's reload and the settings dialog, read on the SIP thread and the window thread.
extern Mutex SettingsTextLock;
inline Mutex& SettingsTextMutex() RETURN_CAPABILITY(SettingsTextLock) { return SettingsTextLock; }

// Settings, named after their keys.
extern char IP_addr[64] GUARDED_BY(IP_addrLock);
extern std::atomic<BOOL> PopUp;  // the video reader reads it on its thread
extern int left GUARDED_BY(WindowThread);
extern int top GUARDED_BY(WindowThread);
extern char SIP_id_doorphone[64] GUARDED_BY(SettingsTextLock);
extern char SIP_call_prefix[64] GUARDED_BY(SettingsTextLock);
// The library's device names run longer than 49 characters ("ALSA Unknown: <card>: <device> (hw:0,0)").
extern char Snd_capture[128] GUARDED_BY(SettingsTextLock);
extern char Snd_playback[128] GUARDED_BY(SettingsTextLock);
extern char SIP_addr[64] GUARDED_BY(SettingsTextLock);
extern char SIP_id[64] GUARDED_BY(SettingsTextLock);
extern char SIP_pass[64] GUARDED_BY(SettingsTextLock);
extern char SIP_realm[64] GUARDED_BY(SettingsTextLock);
extern std::atomic<int> SIP_reg_duration;
extern std::atomic<BOOL> UseSIP;
extern int SIP_port GUARDED_BY(WindowThread);  // the telephone's UDP port

// A terminated copy of IP_addr, taken under its lock.
void CopyIP_addr(char (&address)[sizeof IP_addr]) EXCLUDES(IP_addrLock);

// Fills ini_file and NameJPEG, creating the settings folder if it is missing.
void AccessIniFile();
// Reads every setting once, in the order of the file's table, with the defaults for what is missing.
void ReadSettings() REQUIRES(WindowThread) EXCLUDES(IP_addrLock, SettingsTextLock);
// The sound devices and the SIP account (server, identity, password, period, UseSIP): what a settings
// reload of the telephone reads again. The realm and the port are read only at start.
void ReadSipAccountSettings() EXCLUDES(SettingsTextLock);
// Writes one key of the settings file: a number as decimal text ("%i").
void WriteSettingNumber(const char* section, const char* key, int value);
