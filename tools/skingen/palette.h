// Colour scheme of the built-in skin: frame gradients and per-control colours.
#pragma once

#include <QColor>

namespace skingen {

// Shared frame colours. The outer border, lit edge and inner frame line recur
// on every piece so that tiles and corners join without visible seams.
inline const QColor kOuterBorder{14, 15, 18};
inline const QColor kInnerLine{16, 17, 20};
inline const QColor kLitEdge{74, 78, 86};    // top and left faces catch the light
inline const QColor kShadeEdge{54, 57, 64};  // right face is slightly in shadow

constexpr int kTitleHeight = 26;
constexpr int kBottomHeight = 35;
constexpr int kEdgeWidth = 8;

QColor lerp(const QColor& a, const QColor& b, double t);

// Background colour of row y (0..25) of every title-bar piece.
QColor titleRow(int y);
// Background colour of row y (0..34) of every bottom-row piece.
QColor bottomRow(int y);
// Colour of column x (0..7) of the left edge, or of the right edge if right.
QColor edgeColumn(int x, bool right);

// How a push button looks in one of its three states.
struct ButtonLook {
  QColor bodyTop;
  QColor bodyBottom;
  QColor border;
  QColor glow;  // transparent when the button does not glow
  QColor glyph;
  QColor accent;  // secondary glyph colour (door knob, lamp rim)
  bool pressed = false;
};

enum class ButtonKind { Relay, Call, HangUp };
enum class ButtonState { Up, Over, Down };

ButtonLook buttonLook(ButtonKind kind, ButtonState state);

// Title-bar buttons.
inline const QColor kTitleGlyph{186, 191, 199};
inline const QColor kTitleGlyphHot{250, 251, 252};

// Call lamp.
inline const QColor kLampBezel{26, 27, 31};
inline const QColor kLampRim{92, 97, 106};
inline const QColor kLampOffCentre{78, 60, 28};
inline const QColor kLampOffEdge{36, 28, 14};
inline const QColor kLampOnCore{255, 246, 206};
inline const QColor kLampOnMid{255, 186, 48};
inline const QColor kLampOnEdge{214, 116, 10};

// Brand accent, used by the icon and the title-bar mark.
inline const QColor kAmber{255, 184, 44};
inline const QColor kAmberDeep{212, 118, 14};
inline const QColor kLensGlint{120, 184, 244};

}  // namespace skingen
