// The unit's title on the window: window text, tray tip and the title bar.
#include "video/publish_title.h"

#include <cstring>
#include <string>

#include "platform/gui/tray.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/tray_record.h"
#include "video/stream/title_text.h"

namespace {

void SetTitleEverywhere(const char* windowText, const char* title) {
  ShowData.SetTitle(title);
  SetWindowText(g_hwndMain, windowText);
  NOTIFYICONDATA record;
  {
    Lock lock(TrayRecordLock);
    std::memset(nid.szTip, 0, sizeof nid.szTip);
    std::strncpy(nid.szTip, windowText, sizeof nid.szTip - 1);
    record = nid;
  }
  Shell_NotifyIcon(NIM_MODIFY, &record);
}

}  // namespace

void PublishTitle(const char* bytes, int len) {
  const std::string text = TitleText(bytes, len, kTitleSize - 1);
  SetTitleEverywhere(text.c_str(), text.c_str());
}

void RestoreProgramTitle() { SetTitleEverywhere(kProgramName, ""); }
