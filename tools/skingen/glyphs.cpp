// Vector glyph outlines used on the skin's buttons, built without any font.
#include "tools/skingen/glyphs.h"

#include <QPainterPathStroker>
#include <QTransform>
#include <cmath>
#include <numbers>

namespace skingen {

namespace {

QPainterPath strokeToFill(const QPainterPath& centreLine, double width, Qt::PenCapStyle cap) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(cap);
  stroker.setJoinStyle(Qt::RoundJoin);
  return stroker.createStroke(centreLine).simplified();
}

}  // namespace

QPainterPath gearGlyph(QPointF centre, double outerRadius) {
  constexpr int kTeeth = 8;
  const double bodyRadius = outerRadius * 0.74;
  const double holeRadius = outerRadius * 0.32;
  const double toothHalfWidth = outerRadius * 0.19;

  QPainterPath gear;
  gear.addEllipse(QPointF(0, 0), bodyRadius, bodyRadius);
  for (int i = 0; i < kTeeth; ++i) {
    QPainterPath tooth;
    tooth.addRoundedRect(
        QRectF(-toothHalfWidth, -outerRadius, 2 * toothHalfWidth, outerRadius - bodyRadius + 1.0), 0.6, 0.6);
    gear = gear.united(QTransform().rotate(i * 360.0 / kTeeth).map(tooth));
  }
  QPainterPath hole;
  hole.addEllipse(QPointF(0, 0), holeRadius, holeRadius);
  gear = gear.subtracted(hole);
  return QTransform::fromTranslate(centre.x(), centre.y()).map(gear);
}

QPainterPath crossGlyph(QPointF centre, double halfSize, double thickness) {
  QPainterPath lines;
  lines.moveTo(centre + QPointF(-halfSize, -halfSize));
  lines.lineTo(centre + QPointF(halfSize, halfSize));
  lines.moveTo(centre + QPointF(halfSize, -halfSize));
  lines.lineTo(centre + QPointF(-halfSize, halfSize));
  return strokeToFill(lines, thickness, Qt::RoundCap);
}

QPainterPath barGlyph(QPointF centre, double halfWidth, double thickness) {
  QPainterPath bar;
  bar.addRoundedRect(QRectF(centre.x() - halfWidth, centre.y() - thickness / 2, 2 * halfWidth, thickness),
                     thickness / 3, thickness / 3);
  return bar;
}

QPainterPath digitGlyph(int digit, QPointF centre, double strokeWidth) {
  // Designed in an 8 x 14 box; stroke ends are inset so round caps stay inside.
  QPainterPath line;
  if (digit == 1) {
    line.moveTo(1.4, 3.2);
    line.lineTo(4.6, 0.6);
    line.lineTo(4.6, 13.4);
    line.moveTo(1.6, 13.4);
    line.lineTo(7.4, 13.4);
  } else {
    line.moveTo(0.9, 3.6);
    line.cubicTo(1.4, 0.2, 7.2, 0.0, 7.2, 3.9);
    line.cubicTo(7.2, 6.6, 3.6, 8.6, 0.9, 13.4);
    line.lineTo(7.6, 13.4);
  }
  line.translate(centre - QPointF(4.0, 7.0));
  return strokeToFill(line, strokeWidth, Qt::RoundCap);
}

QPainterPath handsetGlyph(QPointF centre, double scale, double rotationDegrees) {
  // Receiver in its cradle pose: an arched grip with the ear and mouth pads
  // hanging from both ends. Designed about 22 units wide.
  QPainterPath grip;
  grip.moveTo(-7.4, 1.0);
  grip.cubicTo(-5.0, -5.6, 5.0, -5.6, 7.4, 1.0);
  QPainterPath handset = strokeToFill(grip, 4.6, Qt::FlatCap);

  // Pads flare outwards a little, like the cups of a real receiver.
  for (double side : {-1.0, 1.0}) {
    QPainterPath pad;
    pad.addRoundedRect(QRectF(-4.0, 0.0, 8.0, 5.2), 2.0, 2.0);
    QTransform place;
    place.translate(side * 7.6, 0.6);
    place.rotate(side * 14.0);
    handset = handset.united(place.map(pad));
  }

  // Centre the shape on its own bounding box before rotating.
  handset.translate(0.0, -handset.boundingRect().center().y());
  QTransform transform;
  transform.translate(centre.x(), centre.y());
  transform.rotate(rotationDegrees);
  transform.scale(scale, scale);
  return transform.map(handset);
}

DoorGlyph doorGlyph(QPointF topLeft, double width, double height) {
  DoorGlyph door;
  const QRectF frame(topLeft, QSizeF(width, height));
  door.frame.addRect(frame);

  // The leaf swings inwards on its left hinge, so its free edge looks
  // shorter; the dark gap on the right reads as "opening".
  const double hingeX = frame.left() + 1.4;
  const double freeX = frame.left() + width * 0.6;
  const double inset = height * 0.13;
  QPolygonF leaf;
  leaf << QPointF(hingeX, frame.top() + 1.2) << QPointF(freeX, frame.top() + 1.2 + inset)
       << QPointF(freeX, frame.bottom() - 1.2 - inset) << QPointF(hingeX, frame.bottom() - 1.2);
  door.leaf.addPolygon(leaf);
  door.leaf.closeSubpath();

  door.knob = QPointF(freeX - 2.0, frame.center().y() + 0.5);
  return door;
}

}  // namespace skingen
