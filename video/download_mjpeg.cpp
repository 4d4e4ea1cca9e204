// The video reader: the body of the video thread.
#include "video/download_mjpeg.h"

#include "app/app_globals.h"
#include "platform/window.h"
#include "skin/skin_types.h"

void DownloadMJPEG() {
  // Until the stream reader exists, a reader ends at once and the timer tries again.
  ShowData.Kill_TCP = TRUE;
  SetTimer(g_hwndMain, 0, 1000);
}
