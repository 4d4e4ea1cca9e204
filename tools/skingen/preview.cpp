// Assembles saved skin pieces into a full window picture for eyeballing.
#include "tools/skingen/preview.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace skingen {

namespace {

constexpr int kWindowWidth = 336;
constexpr int kWindowHeight = 301;

QImage load(const QString& skinDir, const QString& name) {
  QImage piece(QDir(skinDir).filePath(name + ".bmp"));
  if (piece.isNull()) qWarning("skingen: cannot read piece %s", qPrintable(name));
  return piece;
}

}  // namespace

QImage composeWindow(const QString& skinDir, bool hot) {
  QImage window(kWindowWidth, kWindowHeight, QImage::Format_ARGB32_Premultiplied);
  window.fill(Qt::transparent);

  // Same clip the client applies to the borderless window.
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0, 0, kWindowWidth, kWindowHeight), 7.5, 7.5);
  QPainter painter(&window);
  painter.setClipPath(shape);

  const QImage left = load(skinDir, "l");
  const QImage right = load(skinDir, "r");
  const QImage top = load(skinDir, "t");
  const QImage bottom = load(skinDir, "b");
  for (int y = 26; y < 266; y += left.height()) {
    painter.drawImage(0, y, left);
    painter.drawImage(328, y, right);
  }
  for (int x = 0; x < kWindowWidth; x += top.width()) painter.drawImage(x, 0, top);
  for (int x = 0; x < kWindowWidth; x += bottom.width()) painter.drawImage(x, 266, bottom);

  painter.drawImage(0, 0, load(skinDir, "tl"));
  painter.drawImage(266, 0, load(skinDir, hot ? "tr_c" : "tr"));
  painter.drawImage(320, 266, load(skinDir, "br"));
  painter.drawImage(0, 266, load(skinDir, hot ? "bl_on" : "bl_off"));
  painter.drawImage(247, 266, load(skinDir, hot ? "br_b1_over" : "br_b1_up"));
  painter.drawImage(174, 266, load(skinDir, hot ? "br_b2_down" : "br_b2_up"));
  painter.drawImage(101, 266, load(skinDir, hot ? "br_b4_over" : "br_b3_up"));
  painter.drawImage(8, 26, load(skinDir, "pozadi"));

  // The texts the client draws itself, to judge their legibility.
  QFont font("Liberation Sans");
  font.setPixelSize(12);
  painter.setFont(font);
  painter.setPen(QColor(249, 229, 0));
  painter.drawText(QRect(80, 5, 180, 16), Qt::AlignLeft | Qt::AlignTop, "Kestrova - Front door");
  painter.drawText(QRect(20, 30, 300, 16), Qt::AlignLeft | Qt::AlignTop, "Connecting, please wait...");
  painter.end();
  return window;
}

}  // namespace skingen
