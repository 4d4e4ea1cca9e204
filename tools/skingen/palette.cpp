// Colour scheme of the built-in skin: gradient rows/columns and button looks.
#include "tools/skingen/palette.h"

#include <algorithm>
#include <cmath>

namespace skingen {

QColor lerp(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto mix = [t](int p, int q) { return static_cast<int>(std::lround(p + (q - p) * t)); };
  return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()),
                mix(a.alpha(), b.alpha()));
}

QColor titleRow(int y) {
  // Row 25 is the dark line that frames the video area from above.
  if (y <= 0) return kOuterBorder;
  if (y == 1) return QColor(88, 93, 102);
  if (y >= kTitleHeight - 1) return kInnerLine;
  return lerp(QColor(58, 62, 69), QColor(34, 36, 41), (y - 2) / 22.0);
}

QColor bottomRow(int y) {
  // Row 0 continues the inner frame line under the video area.
  if (y <= 0) return kInnerLine;
  if (y == 1) return kLitEdge;
  if (y >= kBottomHeight - 1) return kOuterBorder;
  return lerp(QColor(50, 53, 60), QColor(30, 32, 36), (y - 2) / 31.0);
}

QColor edgeColumn(int x, bool right) {
  // The right edge is the mirror image of the left one, only less lit.
  if (right) x = kEdgeWidth - 1 - x;
  switch (x) {
    case 0: return kOuterBorder;
    case 1: return right ? kShadeEdge : kLitEdge;
    case 7: return kInnerLine;
    default: return lerp(QColor(46, 49, 55), QColor(38, 41, 46), (x - 2) / 4.0);
  }
}

ButtonLook buttonLook(ButtonKind kind, ButtonState state) {
  ButtonLook look;
  look.pressed = state == ButtonState::Down;
  look.glow = Qt::transparent;
  look.accent = kAmber;

  switch (kind) {
    case ButtonKind::Relay:
      switch (state) {
        case ButtonState::Up:
          look.bodyTop = QColor(68, 72, 80);
          look.bodyBottom = QColor(46, 49, 56);
          look.border = QColor(18, 19, 22);
          look.glyph = QColor(214, 218, 225);
          break;
        case ButtonState::Over:
          look.bodyTop = QColor(82, 88, 98);
          look.bodyBottom = QColor(56, 60, 68);
          look.border = QColor(104, 168, 224);
          look.glow = QColor(104, 168, 224, 90);
          look.glyph = QColor(255, 255, 255);
          look.accent = QColor(255, 200, 80);
          break;
        case ButtonState::Down:
          look.bodyTop = QColor(32, 34, 39);
          look.bodyBottom = QColor(44, 47, 53);
          look.border = QColor(10, 11, 13);
          look.glyph = QColor(176, 181, 189);
          look.accent = QColor(214, 150, 36);
          break;
      }
      break;
    case ButtonKind::Call:
      switch (state) {
        case ButtonState::Up:
          look.bodyTop = QColor(56, 146, 84);
          look.bodyBottom = QColor(32, 98, 54);
          look.border = QColor(14, 40, 22);
          look.glyph = QColor(244, 250, 245);
          break;
        case ButtonState::Over:
          look.bodyTop = QColor(72, 174, 102);
          look.bodyBottom = QColor(42, 120, 66);
          look.border = QColor(140, 232, 162);
          look.glow = QColor(120, 230, 150, 90);
          look.glyph = QColor(255, 255, 255);
          break;
        case ButtonState::Down:
          look.bodyTop = QColor(22, 72, 38);
          look.bodyBottom = QColor(34, 100, 56);
          look.border = QColor(8, 26, 14);
          look.glyph = QColor(210, 226, 214);
          break;
      }
      break;
    case ButtonKind::HangUp:
      switch (state) {
        case ButtonState::Up:
          look.bodyTop = QColor(180, 60, 54);
          look.bodyBottom = QColor(124, 34, 32);
          look.border = QColor(48, 12, 12);
          look.glyph = QColor(252, 244, 243);
          break;
        case ButtonState::Over:
          look.bodyTop = QColor(210, 76, 68);
          look.bodyBottom = QColor(148, 42, 38);
          look.border = QColor(255, 150, 130);
          look.glow = QColor(255, 130, 110, 90);
          look.glyph = QColor(255, 255, 255);
          break;
        case ButtonState::Down:
          look.bodyTop = QColor(94, 26, 24);
          look.bodyBottom = QColor(128, 38, 34);
          look.border = QColor(34, 8, 8);
          look.glyph = QColor(228, 210, 208);
          break;
      }
      break;
  }
  return look;
}

}  // namespace skingen
