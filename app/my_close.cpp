// Shutdown of one copy on WM_CLOSE.
#include "app/my_close.h"

#include <cstdio>

#include "app/notify_icon.h"
#include "platform/core/profile.h"
#include "platform/gui/drawing.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "video/reader_thread.h"

namespace {

void WriteInt(const char* section, const char* key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%i", value);
  WritePrivateProfileString(section, key, text, ini_file);
}

}  // namespace

void MyClose() {
  KillTimer(g_hwndMain, kReaderTimer);
  ShowData.Kill_TCP = 1;
  // The reader deletes its picture file on its way out; the tray record it writes goes away below.
  StopReaderThread();
  ShowWindow(g_hwndMain, SW_HIDE);
  DeleteNotifyIcon();

  {
    std::lock_guard lock(SkinMutex());
    for (t_Skin& piece : Skin) DeleteObject(piece.ShBitmap);
  }

  char section[32];
  std::snprintf(section, sizeof section, "Window %i", 0);
  RECT rect{};
  GetWindowRect(g_hwndMain, &rect);
  WriteInt(section, "Left", rect.left);
  WriteInt(section, "Top", rect.top);
  WriteInt(section, "Width", ShowData.ClientWidth);
  WriteInt(section, "Height", ShowData.ClientHeight);
}
