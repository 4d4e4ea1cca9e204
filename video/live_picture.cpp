// The video area while the video runs: the kept picture, the banner, the stalled picture.
#include "video/live_picture.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/core/annotated_mutex.h"
#include "platform/core/window_thread.h"
#include "platform/gui/drawing.h"
#include "platform/gui/window.h"
#include "skin/skin.h"
#include "skin/video_banner.h"
#include "state/display_record.h"
#include "state/program.h"
#include "video/stream/stall_clock.h"

namespace {

// A stalled picture keeps this much of its brightness: still recognisable, plainly not live.
constexpr int kStalledKeepPercent = 45;

struct Area {
  int column = 0, row = 0, width = 0, height = 0;
  bool operator==(const Area&) const = default;
};

// Shared by the reader, which keeps pictures and times them, and the window thread, which dims.
struct Live {
  Mutex mutex;
  HBITMAP kept GUARDED_BY(mutex);
  Area area GUARDED_BY(mutex);
  StallClock clock GUARDED_BY(mutex);
  int shownSeconds GUARDED_BY(mutex) = 0;  // the count on screen; 0 while live
};

Live& TheLive() {
  static Live live;
  return live;
}

StallClock::TimeMs Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The video area for the window's size now.
Area CurrentArea() {
  RecursiveLock lock(SkinMutex());
  const t_Skin* s = ShowData.Skin;
  return Area{s[SKIN_POZADI].PosY, s[SKIN_POZADI].PosX,
              ShowData.ClientWidth - s[SKIN_L].Width - s[SKIN_R].Width,
              ShowData.ClientHeight - s[SKIN_T].Height - s[SKIN_B].Height};
}

// The kept picture, dimmed with its count while stalled, and the banner: one drawing, so the screen
// never shows the picture without what belongs over it.
void DrawKept(HWND hwnd, Live& live) REQUIRES(live.mutex) {
  const Area a = live.area;  // a copy: the lock analysis cannot follow a reference
  HDC dc = GetDC(hwnd);
  if (dc == nullptr) return;
  BitBlt(dc, a.column, a.row, a.width, a.height, live.kept, 0, 0);
  if (live.shownSeconds > 0) {
    DimRect(dc, a.column, a.row, a.width, a.height, kStalledKeepPercent);
    char text[48];
    const int len = std::snprintf(text, sizeof text, "No picture for %d s", live.shownSeconds);
    SIZE extent;
    if (GetTextExtentPoint32(dc, text, len, &extent))
      ShowMyText(dc, text, len, a.row + (a.height - extent.cy) / 2, a.column + (a.width - extent.cx) / 2,
                 RGB(255, 255, 0));
  }
  DrawVideoBanner(dc, a.column, a.row, a.width, a.height);
  ReleaseDC(hwnd, dc);
}

}  // namespace

void LiveConnectionOpened() {
  Live& live = TheLive();
  Lock lock(live.mutex);
  live.clock.Opened(Now());
}

void LivePlannedReconnect() {
  Live& live = TheLive();
  Lock lock(live.mutex);
  live.clock.Paused();
}

void LivePictureArrived() {
  Live& live = TheLive();
  Lock lock(live.mutex);
  live.clock.Picture(Now());
  live.shownSeconds = 0;
}

void ShowLivePicture(HWND hwnd, const HBITMAP& frame, int column, int row, int width, int height) {
  Live& live = TheLive();
  Lock lock(live.mutex);
  live.kept = frame;
  live.area = Area{column, row, width, height};
  DrawKept(hwnd, live);
}

void LiveVideoEnded() {
  Live& live = TheLive();
  Lock lock(live.mutex);
  live.kept.reset();
  live.clock = StallClock();
  live.shownSeconds = 0;
}

void StallTick() {
  AssertWindowThread();
  const Area now = CurrentArea();
  Live& live = TheLive();
  Lock lock(live.mutex);
  const int stalled = live.clock.StalledSeconds(Now());
  if (stalled == 0 || live.kept == nullptr) return;
  // The count goes on from the first reading, one a tick: a late tick does not skip a number.
  live.shownSeconds = live.shownSeconds == 0 ? stalled : live.shownSeconds + 1;
  if (IsWindowVisible(g_hwndMain) && live.area == now) DrawKept(g_hwndMain, live);
}

void RedrawVideoArea() {
  AssertWindowThread();
  if (!IsWindowVisible(g_hwndMain)) return;
  if (!ShowData.Kill_TCP) {
    const Area now = CurrentArea();
    Live& live = TheLive();
    Lock lock(live.mutex);
    if (live.kept != nullptr && live.area == now) {
      DrawKept(g_hwndMain, live);
      return;
    }
  }
  // No picture yet, or none that fits: the area shows the background and the connecting notice, as
  // it did since the video was lost.
  t_ShowData data = ShowData;
  data.Kill_TCP = TRUE;
  ShowMyWindow(g_hwndMain, data);
}
