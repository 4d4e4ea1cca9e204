// Device contexts on the window's surface: bitmap copies and text.
#include <unistd.h>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/core/text_decode.h"
#include "platform/gui/bitmap_impl.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window_record.h"

struct DeviceContext {
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
};

namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The window's default font: a bold sans face of the system font's size.
const QFont& DefaultFont() {
  static const QFont font = [] {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(13);
    f.setBold(true);
    return f;
  }();
  return font;
}

}  // namespace

HDC GetDC(HWND hwnd) {
  if (!IsOurWindow(hwnd)) return nullptr;
  WindowRecord& w = TheWindow();
  w.surfaceMutex.lock();
  ++w.openDCs;
  return new DeviceContext();
}

int ReleaseDC(HWND, HDC hdc) {
  if (hdc == nullptr) return 0;
  delete hdc;
  WindowRecord& w = TheWindow();
  const bool last = --w.openDCs == 0;
  w.surfaceMutex.unlock();
  if (last) ScheduleScreenUpdate();
  return 1;
}

BOOL BitBlt(HDC hdc, int x, int y, int w, int h, const HBITMAP& source, int sx, int sy) {
  if (hdc == nullptr || !source || w <= 0 || h <= 0) return FALSE;
  QPainter painter(&TheWindow().surface);
  painter.drawImage(QRect(x, y, w, h), source->image, QRect(sx, sy, w, h));
  return TRUE;
}

BOOL DrawState(HDC hdc, const HBITMAP& bitmap, int x, int y) {
  if (!bitmap) return FALSE;
  return BitBlt(hdc, x, y, bitmap->image.width(), bitmap->image.height(), bitmap, 0, 0);
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  if (hdc == nullptr) return 0;
  COLORREF old = hdc->textColor;
  hdc->textColor = color;
  return old;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  if (hdc == nullptr) return 0;
  COLORREF old = hdc->bkColor;
  hdc->bkColor = color;
  return old;
}

int SetBkMode(HDC hdc, int mode) {
  if (hdc == nullptr) return 0;
  int old = hdc->bkMode;
  hdc->bkMode = mode;
  return old;
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int len) {
  if (hdc == nullptr) return FALSE;
  const QString decoded = QString::fromStdString(BytesToUtf8(text, len));
  if (decoded.isEmpty()) return TRUE;
  QPainter painter(&TheWindow().surface);
  painter.setFont(DefaultFont());
  const QFontMetrics metrics(DefaultFont());
  if (hdc->bkMode == OPAQUE)
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(decoded), metrics.height()),
                     ToQColor(hdc->bkColor));
  painter.setPen(ToQColor(hdc->textColor));
  painter.drawText(x, y + metrics.ascent(), decoded);
  return TRUE;
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int len, SIZE* size) {
  if (hdc == nullptr || size == nullptr) return FALSE;
  const QString decoded = QString::fromStdString(BytesToUtf8(text, len));
  const QFontMetrics metrics(DefaultFont());
  size->cx = metrics.horizontalAdvance(decoded);
  size->cy = metrics.height();
  return TRUE;
}

BOOL DimRect(HDC hdc, int x, int y, int w, int h, int keepPercent) {
  if (hdc == nullptr || w <= 0 || h <= 0) return FALSE;
  const int alpha = 255 - 255 * std::clamp(keepPercent, 0, 100) / 100;
  QPainter painter(&TheWindow().surface);
  painter.fillRect(QRect(x, y, w, h), QColor(0, 0, 0, alpha));
  return TRUE;
}

SurfaceCopy CopySurface(HWND hwnd) {
  SurfaceCopy copy;
  if (!IsOurWindow(hwnd)) return copy;
  WindowRecord& w = TheWindow();
  std::lock_guard lock(w.surfaceMutex);
  const QImage& image = w.surface;
  copy.width = image.width();
  copy.height = image.height();
  copy.pixels.resize(static_cast<std::size_t>(copy.width) * copy.height);
  for (int y = 0; y < copy.height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < copy.width; ++x)
      copy.pixels[static_cast<std::size_t>(y) * copy.width + x] = line[x] & 0xFFFFFF;
  }
  return copy;
}
