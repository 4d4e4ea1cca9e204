// Drawing helpers shared by the skin pieces and the program icon.
#include "tools/skingen/draw.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>

namespace skingen {

QImage newCanvas(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

void fillTitleBackground(QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    const QRgb colour = titleRow(y).rgb();
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, colour);
  }
}

void fillBottomBackground(QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    const QRgb colour = bottomRow(y).rgb();
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, colour);
  }
}

void fillEdge(QImage& image, bool right) {
  for (int x = 0; x < image.width(); ++x) {
    const QRgb colour = edgeColumn(x, right).rgb();
    for (int y = 0; y < image.height(); ++y) image.setPixel(x, y, colour);
  }
}

namespace {

// Column of the piece that lines up with column edgeX of the side edge.
int cornerColumn(const QImage& image, Side side, int edgeX) {
  return side == Side::Left ? edgeX : image.width() - kEdgeWidth + edgeX;
}

}  // namespace

void frameTitleCorner(QImage& image, Side side) {
  const bool right = side == Side::Right;
  const int outer = right ? image.width() - 1 : 0;
  const int face = right ? image.width() - 2 : 1;
  for (int y = 0; y < image.height(); ++y) {
    image.setPixel(outer, y, kOuterBorder.rgb());
    if (y >= 1) image.setPixel(face, y, (right ? kShadeEdge : kLitEdge).rgb());
  }
  // The last row continues into the side edge below it.
  const int last = image.height() - 1;
  for (int edgeX = 0; edgeX < kEdgeWidth; ++edgeX)
    image.setPixel(cornerColumn(image, side, edgeX), last, edgeColumn(edgeX, right).rgb());
}

void frameBottomCorner(QImage& image, Side side) {
  const bool right = side == Side::Right;
  const int outer = right ? image.width() - 1 : 0;
  const int face = right ? image.width() - 2 : 1;
  for (int y = 0; y < image.height(); ++y) {
    const bool bottom = y == image.height() - 1;
    image.setPixel(outer, y, kOuterBorder.rgb());
    image.setPixel(face, y, bottom ? kOuterBorder.rgb() : (right ? kShadeEdge : kLitEdge).rgb());
  }
  // The first row continues the side edge above it.
  for (int edgeX = 0; edgeX < kEdgeWidth; ++edgeX)
    image.setPixel(cornerColumn(image, side, edgeX), 0, edgeColumn(edgeX, right).rgb());
}

void beginPainting(QPainter& painter, QPaintDevice* device) {
  painter.begin(device);
  painter.setRenderHint(QPainter::Antialiasing, true);
}

void drawButtonBody(QPainter& painter, const QRect& outline, double radius, const ButtonLook& look) {
  painter.save();
  const QRectF box(outline);

  if (look.glow.alpha() > 0) {
    painter.setPen(QPen(look.glow, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box.adjusted(-0.5, -0.5, 0.5, 0.5), radius + 1, radius + 1);
  }

  painter.setPen(Qt::NoPen);
  painter.setBrush(look.border);
  painter.drawRoundedRect(box, radius, radius);

  const QRectF body = box.adjusted(1, 1, -1, -1);
  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0.0, look.bodyTop);
  fill.setColorAt(1.0, look.bodyBottom);
  painter.setBrush(fill);
  painter.drawRoundedRect(body, radius - 1, radius - 1);

  painter.setBrush(Qt::NoBrush);
  if (look.pressed) {
    // Inset: light comes from the top left, so the sunken body is shaded there.
    painter.setPen(QPen(QColor(0, 0, 0, 110), 1.0));
    painter.drawLine(QPointF(body.left() + radius - 1, body.top() + 0.5),
                     QPointF(body.right() - radius + 1, body.top() + 0.5));
    painter.setPen(QPen(QColor(0, 0, 0, 50), 1.0));
    painter.drawLine(QPointF(body.left() + radius - 1, body.top() + 1.5),
                     QPointF(body.right() - radius + 1, body.top() + 1.5));
    painter.drawLine(QPointF(body.left() + 0.5, body.top() + radius),
                     QPointF(body.left() + 0.5, body.bottom() - radius));
  } else {
    const int alpha = look.glow.alpha() > 0 ? 80 : 48;
    painter.setPen(QPen(QColor(255, 255, 255, alpha), 1.0));
    painter.drawLine(QPointF(body.left() + radius - 1, body.top() + 0.5),
                     QPointF(body.right() - radius + 1, body.top() + 0.5));
    painter.setPen(QPen(QColor(0, 0, 0, 40), 1.0));
    painter.drawLine(QPointF(body.left() + radius - 1, body.bottom() - 0.5),
                     QPointF(body.right() - radius + 1, body.bottom() - 0.5));
  }
  painter.restore();
}

void drawLamp(QPainter& painter, QPointF centre, double radius, LampState state) {
  painter.save();
  painter.setPen(Qt::NoPen);

  if (state == LampState::On) {
    // Light spilling onto the panel around the lamp.
    const double reach = radius + 6.5;
    QRadialGradient halo(centre, reach);
    halo.setColorAt(0.0, QColor(255, 190, 60, 150));
    halo.setColorAt(radius / reach, QColor(255, 170, 40, 110));
    halo.setColorAt(1.0, QColor(255, 150, 20, 0));
    painter.setBrush(halo);
    painter.drawEllipse(centre, reach, reach);
  }

  const QPointF glassCentre = state == LampState::OffPressed ? centre + QPointF(0.5, 0.5) : centre;
  const double bezel = radius + 2.5;

  painter.setBrush(kLampBezel);
  painter.drawEllipse(centre, bezel, bezel);

  QColor rimTop = kLampRim;
  QColor rimBottom(40, 42, 47);
  if (state == LampState::OffHover) {
    rimTop = QColor(150, 157, 168);
    rimBottom = QColor(70, 74, 82);
  } else if (state == LampState::OffPressed) {
    rimTop = QColor(34, 36, 40);
    rimBottom = QColor(78, 82, 90);
  } else if (state == LampState::On) {
    rimTop = QColor(255, 214, 130);
    rimBottom = QColor(150, 90, 20);
  }
  QLinearGradient rim(centre - QPointF(0, bezel), centre + QPointF(0, bezel));
  rim.setColorAt(0.0, rimTop);
  rim.setColorAt(1.0, rimBottom);
  painter.setPen(QPen(QBrush(rim), 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(centre, bezel - 0.5, bezel - 0.5);

  QRadialGradient glass(glassCentre - QPointF(radius * 0.2, radius * 0.25), radius * 1.15);
  switch (state) {
    case LampState::On:
      glass.setColorAt(0.0, kLampOnCore);
      glass.setColorAt(0.5, kLampOnMid);
      glass.setColorAt(1.0, kLampOnEdge);
      break;
    case LampState::OffHover:
      glass.setColorAt(0.0, QColor(96, 74, 36));
      glass.setColorAt(1.0, QColor(44, 34, 18));
      break;
    case LampState::OffPressed:
      glass.setColorAt(0.0, QColor(62, 48, 22));
      glass.setColorAt(1.0, QColor(28, 22, 11));
      break;
    case LampState::Off:
      glass.setColorAt(0.0, kLampOffCentre);
      glass.setColorAt(1.0, kLampOffEdge);
      break;
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(glass);
  painter.drawEllipse(glassCentre, radius, radius);

  // Reflected window light on the dome, up and left of the centre.
  const int shine = state == LampState::On ? 170 : (state == LampState::OffPressed ? 28 : 60);
  QRadialGradient spot(glassCentre + QPointF(-radius * 0.38, -radius * 0.45), radius * 0.42);
  spot.setColorAt(0.0, QColor(255, 255, 255, shine));
  spot.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.setBrush(spot);
  painter.drawEllipse(glassCentre + QPointF(-radius * 0.38, -radius * 0.45), radius * 0.42, radius * 0.42);
  painter.restore();
}

void drawDoorStation(QPainter& painter, const QRectF& plate) {
  painter.save();
  const double w = plate.width();
  const double h = plate.height();
  const double cx = plate.center().x();
  const double line = std::max(1.0, w / 22.0);

  QLinearGradient body(plate.topLeft(), plate.bottomLeft());
  body.setColorAt(0.0, QColor(92, 98, 108));
  body.setColorAt(1.0, QColor(44, 47, 53));
  painter.setPen(QPen(QColor(12, 13, 15), line));
  painter.setBrush(body);
  const QRectF outline = plate.adjusted(line / 2, line / 2, -line / 2, -line / 2);
  const double corner = w * 0.22;
  painter.drawRoundedRect(outline, corner, corner);

  // Camera window.
  const QPointF lens(cx, plate.top() + h * 0.18);
  const double lensRadius = w * 0.16;
  painter.setPen(QPen(QColor(120, 127, 138), line * 0.8));
  painter.setBrush(QColor(12, 13, 15));
  painter.drawEllipse(lens, lensRadius, lensRadius);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kLensGlint);
  painter.drawEllipse(lens + QPointF(-lensRadius * 0.3, -lensRadius * 0.3), lensRadius * 0.32,
                      lensRadius * 0.32);

  // Speaker grille.
  painter.setPen(QPen(QColor(18, 19, 22), std::max(1.0, h * 0.04), Qt::SolidLine, Qt::RoundCap));
  const int grilleSlots = h >= 30 ? 3 : (h >= 20 ? 2 : 1);
  for (int i = 0; i < grilleSlots; ++i) {
    const double y = plate.top() + h * (0.38 + 0.08 * i);
    painter.drawLine(QPointF(cx - w * 0.26, y), QPointF(cx + w * 0.26, y));
  }

  // Bell push, the brand's amber accent.
  const QPointF bell(cx, plate.top() + h * 0.74);
  const double bellRadius = w * 0.27;
  QRadialGradient amber(bell - QPointF(bellRadius * 0.3, bellRadius * 0.35), bellRadius * 1.3);
  amber.setColorAt(0.0, QColor(255, 236, 170));
  amber.setColorAt(0.45, kAmber);
  amber.setColorAt(1.0, kAmberDeep);
  painter.setPen(QPen(QColor(70, 40, 6), line * 0.8));
  painter.setBrush(amber);
  painter.drawEllipse(bell, bellRadius, bellRadius);
  painter.restore();
}

}  // namespace skingen
