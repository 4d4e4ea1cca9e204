// Dialog units: horizontal ones are a quarter of the font's average character width, vertical ones an
// eighth of its height, both measured from the dialog's font at run time.
#pragma once

#include <QFont>
#include <QRect>

struct DialogBaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
};

// The font of a template: its name and size in points.
QFont DialogFont(const char* name, int points);
DialogBaseUnits BaseUnitsOf(const QFont& font);
// a * b / c rounded half away from zero.
int MulDivRound(int a, int b, int c);
QRect DialogUnitsToPixels(DialogBaseUnits base, int x, int y, int cx, int cy);
