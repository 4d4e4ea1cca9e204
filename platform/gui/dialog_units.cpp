// Dialog units measured from the dialog's font.
#include "platform/gui/dialog_units.h"

#include <QFontMetrics>
#include <cmath>

QFont DialogFont(const char* name, int points) {
  QFont font(QString::fromLatin1(name));
  font.setPointSize(points);
  return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  // The width of both alphabets over 26, rounded: the average width of a letter.
  const int letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

QRect DialogUnitsToPixels(DialogBaseUnits base, int x, int y, int cx, int cy) {
  return QRect(MulDivRound(x, base.x, 4), MulDivRound(y, base.y, 8), MulDivRound(cx, base.x, 4),
               MulDivRound(cy, base.y, 8));
}
