// The banner over the bottom of the video area.
#include "skin/video_banner.h"

#include <algorithm>

#include "platform/core/annotated_mutex.h"
#include "skin/skin.h"

namespace {

// The band keeps a third of the picture's brightness, so that any text colour reads over any picture.
constexpr int kBandKeepPercent = 35;
constexpr int kBandPadding = 5;

struct Banner {
  Mutex mutex;
  std::string text GUARDED_BY(mutex);
  COLORREF colour GUARDED_BY(mutex) = RGB(255, 255, 255);
};

Banner& TheBanner() {
  static Banner banner;
  return banner;
}

}  // namespace

bool SetVideoBanner(const std::string& text, COLORREF colour) {
  Banner& b = TheBanner();
  Lock lock(b.mutex);
  const bool changed = b.text != text || (!text.empty() && b.colour != colour);
  b.text = text;
  b.colour = colour;
  return changed;
}

void DrawVideoBanner(HDC hdc, int column, int row, int width, int height) {
  std::string text;
  COLORREF colour;
  {
    Banner& b = TheBanner();
    Lock lock(b.mutex);
    text = b.text;
    colour = b.colour;
  }
  if (text.empty() || width <= 0 || height <= 0) return;
  const int len = static_cast<int>(text.size());
  SIZE extent;
  if (!GetTextExtentPoint32(hdc, text.c_str(), len, &extent)) return;
  // Within the video area only: the buttons below it stay as they are.
  const int band = std::min(height, extent.cy + 2 * kBandPadding);
  const int top = row + height - band;
  DimRect(hdc, column, top, width, band, kBandKeepPercent);
  ShowMyText(hdc, text.c_str(), len, top + (band - extent.cy) / 2,
             column + std::max(kBandPadding, (width - extent.cx) / 2), colour);
}
