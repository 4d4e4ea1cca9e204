// The program icon at the sizes desktops ask for.
#include "tools/skingen/icon.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>

#include "tools/skingen/draw.h"

namespace skingen {

namespace {

// Tray-size station, placed on whole pixels: the proportional drawing blurs
// the lens and merges the grille slots at this size.
void drawTrayStation(QPainter& painter) {
  QLinearGradient body(0, 0, 0, 22);
  body.setColorAt(0.0, QColor(104, 110, 121));
  body.setColorAt(1.0, QColor(46, 49, 55));
  painter.setPen(QPen(QColor(12, 13, 15), 1.0));
  painter.setBrush(body);
  painter.drawRoundedRect(QRectF(4.5, 0.5, 13, 21), 3.0, 3.0);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(12, 13, 15));
  painter.drawEllipse(QRectF(9, 3, 4, 4));
  painter.fillRect(QRect(10, 4, 1, 1), kLensGlint);

  painter.fillRect(QRect(8, 9, 6, 1), QColor(20, 21, 24));
  painter.fillRect(QRect(8, 11, 6, 1), QColor(20, 21, 24));

  QRadialGradient amber(QPointF(10, 15.5), 6.0);
  amber.setColorAt(0.0, QColor(255, 236, 170));
  amber.setColorAt(0.45, kAmber);
  amber.setColorAt(1.0, kAmberDeep);
  painter.setBrush(amber);
  painter.drawEllipse(QRectF(7, 13, 8, 8));
}

}  // namespace

QImage renderIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter;
  beginPainting(painter, &image);
  if (size <= 24) {
    // The tray drawing sits on a 22-pixel grid: centred on larger canvases, scaled down on smaller ones.
    const double scale = std::min(1.0, size / 22.0);
    const double margin = (size - 22 * scale) / 2;
    painter.translate(margin, margin);
    painter.scale(scale, scale);
    drawTrayStation(painter);
  } else
    drawDoorStation(painter, QRectF(size * 0.2, size * 0.03, size * 0.6, size * 0.94));
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace skingen
