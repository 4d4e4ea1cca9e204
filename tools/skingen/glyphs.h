// Vector glyph outlines used on the skin's buttons, built without any font.
#pragma once

#include <QPainterPath>
#include <QPointF>

namespace skingen {

// Each function returns a fill path centred on the given point.

QPainterPath gearGlyph(QPointF centre, double outerRadius);
QPainterPath crossGlyph(QPointF centre, double halfSize, double thickness);
QPainterPath barGlyph(QPointF centre, double halfWidth, double thickness);

// Digit 1 or 2 drawn as strokes inside an 8 x 14 box centred on centre.
QPainterPath digitGlyph(int digit, QPointF centre, double strokeWidth);

// Telephone handset; rotation 0 is the "receiver down" pose (pads pointing down).
QPainterPath handsetGlyph(QPointF centre, double scale, double rotationDegrees);

// Door opener symbol: frame outline plus the half-open leaf, as separate paths.
struct DoorGlyph {
  QPainterPath frame;
  QPainterPath leaf;
  QPointF knob;
  double knobRadius = 1.3;
};
DoorGlyph doorGlyph(QPointF topLeft, double width, double height);

}  // namespace skingen
