// The 27 skin pieces in the order the client indexes them.
#include "tools/skingen/pieces.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include "tools/skingen/draw.h"
#include "tools/skingen/glyphs.h"
#include "tools/skingen/palette.h"

namespace skingen {

namespace {

// Pointer bands of the title-bar buttons, in columns of the 70-pixel corner.
// The client hit-tests exactly these, so glyphs are centred on them.
struct TitleButton {
  int firstColumn;
  int lastColumn;
  double centreX() const { return (firstColumn + lastColumn + 1) / 2.0; }
};
constexpr TitleButton kSettingsBand{1, 19};
constexpr TitleButton kHideBand{26, 39};
constexpr TitleButton kCloseBand{46, 59};
constexpr int kHighlightTop = 4;
constexpr int kHighlightBottom = 20;
constexpr double kTitleGlyphY = (kHighlightTop + kHighlightBottom + 1) / 2.0;

// Buttons in the bottom row share one outline per slot.
const QRect kButtonOutline(3, 4, 67, 27);
constexpr double kButtonRadius = 5.0;

enum class TitleHot { None, Settings, Hide, Close };

QImage leftEdge() {
  QImage image = newCanvas(kEdgeWidth, 100);
  fillEdge(image, false);
  return image;
}

QImage rightEdge() {
  QImage image = newCanvas(kEdgeWidth, 100);
  fillEdge(image, true);
  return image;
}

QImage titleTile() {
  QImage image = newCanvas(128, kTitleHeight);
  fillTitleBackground(image);
  return image;
}

QImage bottomTile() {
  QImage image = newCanvas(24, kBottomHeight);
  fillBottomBackground(image);
  return image;
}

QImage titleLeft() {
  QImage image = newCanvas(80, kTitleHeight);
  fillTitleBackground(image);
  {
    QPainter painter;
    beginPainting(painter, &image);
    drawDoorStation(painter, QRectF(8, 4, 11, 17));
  }
  frameTitleCorner(image, Side::Left);
  return image;
}

void drawTitleHighlight(QPainter& painter, const TitleButton& band, bool danger) {
  const QRectF box(band.firstColumn, kHighlightTop, band.lastColumn - band.firstColumn + 1,
                   kHighlightBottom - kHighlightTop + 1);
  QLinearGradient fill(box.topLeft(), box.bottomLeft());
  fill.setColorAt(0.0, danger ? QColor(226, 72, 58) : QColor(96, 103, 115));
  fill.setColorAt(1.0, danger ? QColor(172, 38, 32) : QColor(66, 71, 80));
  painter.setPen(QPen(danger ? QColor(246, 128, 110) : QColor(128, 136, 150), 1.0));
  painter.setBrush(fill);
  painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3.0, 3.0);
}

QImage titleRight(TitleHot hot) {
  QImage image = newCanvas(70, kTitleHeight);
  fillTitleBackground(image);
  {
    QPainter painter;
    beginPainting(painter, &image);
    if (hot == TitleHot::Settings)
      drawTitleHighlight(painter, kSettingsBand, false);
    else if (hot == TitleHot::Hide)
      drawTitleHighlight(painter, kHideBand, false);
    else if (hot == TitleHot::Close)
      drawTitleHighlight(painter, kCloseBand, true);

    auto glyphColour = [hot](TitleHot which) { return hot == which ? kTitleGlyphHot : kTitleGlyph; };
    painter.setPen(Qt::NoPen);
    painter.setBrush(glyphColour(TitleHot::Settings));
    painter.drawPath(gearGlyph(QPointF(kSettingsBand.centreX(), kTitleGlyphY), 6.5));
    painter.setBrush(glyphColour(TitleHot::Hide));
    painter.drawPath(barGlyph(QPointF(kHideBand.centreX(), kTitleGlyphY + 0.5), 4.5, 2.0));
    painter.setBrush(glyphColour(TitleHot::Close));
    painter.drawPath(crossGlyph(QPointF(kCloseBand.centreX(), kTitleGlyphY), 3.8, 1.9));
  }
  frameTitleCorner(image, Side::Right);
  return image;
}

QImage resizeGrip() {
  QImage image = newCanvas(16, kBottomHeight);
  fillBottomBackground(image);
  // Three ridges along the diagonal, each a lit line with its shadow beside it.
  const QRgb lit = QColor(104, 110, 121).rgb();
  const QRgb shadow = QColor(16, 17, 20).rgb();
  for (int diagonal : {33, 37, 41}) {
    for (int x = 3; x <= 12; ++x) {
      const int y = diagonal - x;
      if (y < 21 || y > 31) continue;
      image.setPixel(x, y, lit);
      image.setPixel(x + 1, y, shadow);
    }
  }
  frameBottomCorner(image, Side::Right);
  return image;
}

QImage lamp(LampState state) {
  QImage image = newCanvas(31, kBottomHeight);
  fillBottomBackground(image);
  {
    QPainter painter;
    beginPainting(painter, &image);
    drawLamp(painter, QPointF(15.5, 17.5), 8.0, state);
  }
  frameBottomCorner(image, Side::Left);
  return image;
}

void drawRelayGlyph(QPainter& painter, int relay, const ButtonLook& look, QPointF shift) {
  // Door at the left, relay number at the right; the pair is centred on the button.
  const DoorGlyph door = doorGlyph(QPointF(22.5, 8.5) + shift, 12.0, 18.0);
  QColor leaf = look.glyph;
  leaf.setAlpha(190);
  painter.setPen(Qt::NoPen);
  painter.setBrush(leaf);
  painter.drawPath(door.leaf);
  painter.setBrush(look.accent);
  painter.drawEllipse(door.knob, door.knobRadius, door.knobRadius);
  painter.setPen(QPen(look.glyph, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(door.frame);

  painter.setPen(Qt::NoPen);
  painter.setBrush(look.glyph);
  painter.drawPath(digitGlyph(relay, QPointF(46.0, 17.5) + shift, 2.0));
}

QImage button(ButtonKind kind, int relay, ButtonState state) {
  QImage image = newCanvas(73, kBottomHeight);
  fillBottomBackground(image);
  const ButtonLook look = buttonLook(kind, state);
  QPainter painter;
  beginPainting(painter, &image);
  drawButtonBody(painter, kButtonOutline, kButtonRadius, look);

  const QPointF shift = look.pressed ? QPointF(1, 1) : QPointF(0, 0);
  const QPointF centre = QRectF(kButtonOutline).center() + shift;
  switch (kind) {
    case ButtonKind::Relay: drawRelayGlyph(painter, relay, look, shift); break;
    case ButtonKind::Call:
      painter.setPen(Qt::NoPen);
      painter.setBrush(look.glyph);
      painter.drawPath(handsetGlyph(centre, 1.0, 225.0));
      break;
    case ButtonKind::HangUp:
      painter.setPen(Qt::NoPen);
      painter.setBrush(look.glyph);
      painter.drawPath(handsetGlyph(centre + QPointF(0, 0.5), 1.05, 0.0));
      break;
  }
  painter.end();
  return image;
}

QImage videoBackdrop() {
  QImage image = newCanvas(320, 240);
  QPainter painter;
  beginPainting(painter, &image);

  QLinearGradient sky(0, 0, 0, 240);
  sky.setColorAt(0.0, QColor(31, 34, 39));
  sky.setColorAt(1.0, QColor(17, 18, 21));
  painter.fillRect(image.rect(), sky);

  // A faint camera lens in the middle; the status text sits at the top left,
  // which therefore stays a plain gradient.
  const QPointF centre(160, 128);
  painter.setPen(Qt::NoPen);
  QRadialGradient bloom(centre, 110);
  bloom.setColorAt(0.0, QColor(70, 90, 120, 26));
  bloom.setColorAt(1.0, QColor(70, 90, 120, 0));
  painter.setBrush(bloom);
  painter.drawEllipse(centre, 110, 110);

  painter.setBrush(QColor(0, 0, 0, 40));
  painter.setPen(QPen(QColor(255, 255, 255, 16), 3.0));
  painter.drawEllipse(centre, 46, 46);
  painter.setPen(QPen(QColor(255, 255, 255, 11), 1.5));
  painter.setBrush(QColor(0, 0, 0, 34));
  painter.drawEllipse(centre, 31, 31);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 50));
  painter.drawEllipse(centre, 17, 17);
  painter.setBrush(QColor(150, 190, 240, 22));
  painter.drawEllipse(centre + QPointF(-10, -11), 6, 6);
  painter.end();
  return image;
}

}  // namespace

std::vector<Piece> buildPieces() {
  using enum ButtonKind;
  using enum ButtonState;
  return {
      {"l", leftEdge()},
      {"r", rightEdge()},
      {"t", titleTile()},
      {"b", bottomTile()},
      {"tl", titleLeft()},
      {"tr", titleRight(TitleHot::None)},
      {"br", resizeGrip()},
      {"bl_off", lamp(LampState::Off)},
      {"br_b1_up", button(Relay, 1, Up)},
      {"br_b2_up", button(Relay, 2, Up)},
      {"bl_on", lamp(LampState::On)},
      {"br_b1_over", button(Relay, 1, Over)},
      {"br_b2_over", button(Relay, 2, Over)},
      {"br_b1_down", button(Relay, 1, Down)},
      {"br_b2_down", button(Relay, 2, Down)},
      {"tr_s", titleRight(TitleHot::Settings)},
      {"tr_m", titleRight(TitleHot::Hide)},
      {"tr_c", titleRight(TitleHot::Close)},
      {"pozadi", videoBackdrop()},
      {"bl_over", lamp(LampState::OffHover)},
      {"bl_down", lamp(LampState::OffPressed)},
      {"br_b3_over", button(Call, 0, Over)},
      {"br_b4_over", button(HangUp, 0, Over)},
      {"br_b3_down", button(Call, 0, Down)},
      {"br_b4_down", button(HangUp, 0, Down)},
      {"br_b3_up", button(Call, 0, Up)},
      {"br_b4_up", button(HangUp, 0, Up)},
  };
}

}  // namespace skingen
