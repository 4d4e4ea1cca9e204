// What became of a door-open press: the banner over the video, and the visit's record.
#include "window/door_result.h"

#include <cstdio>
#include <string>

#include "door/relay_workers.h"
#include "platform/core/window_thread.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "skin/video_banner.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "video/live_picture.h"
#include "visit_recording/visit_recording.h"

namespace {

struct BannerLook {
  std::string text;
  COLORREF colour;
};

BannerLook LookFor(int status) {
  if (status >= 200 && status <= 299) return {"Door opened", RGB(90, 230, 90)};
  if (status == 0) return {"No answer from the unit", RGB(255, 176, 0)};
  char text[48];
  std::snprintf(text, sizeof text, "The unit refused (HTTP %d)", status);
  return {text, RGB(255, 90, 70)};
}

}  // namespace

void SendDoorResultToWindow(unsigned press, int status) {
  QueueOnGuiThread([press, status] { DoorResultKnown(press, status); });
}

void DoorResultKnown(unsigned press, int status) {
  AssertWindowThread();
  RelayResultForVisit(press, status);
  // An earlier press that answers late would say something about a door the person pressed again for.
  if (press != LastRelayPress()) return;
  const BannerLook look = LookFor(status);
  SetVideoBanner(look.text, look.colour);
  SetTimer(g_hwndMain, kBannerTimer, kBannerShownMs);
  RedrawVideoArea();
}

void ClearDoorBanner() {
  AssertWindowThread();
  KillTimer(g_hwndMain, kBannerTimer);
  if (SetVideoBanner("", RGB(0, 0, 0))) RedrawVideoArea();
}
