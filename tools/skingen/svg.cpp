// The program icon as a scalable drawing: the door station of the large icon, written as SVG text.
#include "tools/skingen/svg.h"

#include <QColor>
#include <QString>
#include <algorithm>

#include "tools/skingen/palette.h"

namespace skingen {

namespace {

constexpr double kSize = 256;

// Fixed-point numbers: the text is the same on every run and every machine.
QString n(double value) { return QString::number(value, 'f', 2); }
QString rgb(const QColor& c) { return c.name(QColor::HexRgb); }

}  // namespace

QByteArray iconSvg() {
  // The geometry of drawDoorStation for the plate the large icon uses.
  const double px = kSize * 0.2, py = kSize * 0.03, w = kSize * 0.6, h = kSize * 0.94;
  const double cx = px + w / 2;
  const double line = std::max(1.0, w / 22.0);
  const double corner = w * 0.22;
  const double lensY = py + h * 0.18, lensR = w * 0.16;
  const double glintR = lensR * 0.32;
  const double bellY = py + h * 0.74, bellR = w * 0.27;
  const double slot = std::max(1.0, h * 0.04);

  QString svg;
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg +=
      QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
          .arg(kSize);
  svg += "  <title>Kestrova</title>\n  <defs>\n";
  svg += QString(
             "    <linearGradient id=\"body\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"%1\" x2=\"0\" "
             "y2=\"%2\">\n")
             .arg(n(py), n(py + h));
  svg += "      <stop offset=\"0\" stop-color=\"" + rgb(QColor(92, 98, 108)) + "\"/>\n";
  svg += "      <stop offset=\"1\" stop-color=\"" + rgb(QColor(44, 47, 53)) + "\"/>\n";
  svg += "    </linearGradient>\n";
  svg +=
      QString(
          "    <radialGradient id=\"amber\" gradientUnits=\"userSpaceOnUse\" cx=\"%1\" cy=\"%2\" r=\"%3\">\n")
          .arg(n(cx - bellR * 0.3), n(bellY - bellR * 0.35), n(bellR * 1.3));
  svg += "      <stop offset=\"0\" stop-color=\"" + rgb(QColor(255, 236, 170)) + "\"/>\n";
  svg += "      <stop offset=\"0.45\" stop-color=\"" + rgb(kAmber) + "\"/>\n";
  svg += "      <stop offset=\"1\" stop-color=\"" + rgb(kAmberDeep) + "\"/>\n";
  svg += "    </radialGradient>\n  </defs>\n";

  svg +=
      QString(
          "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"url(#body)\" stroke=\"%6\" "
          "stroke-width=\"%7\"/>\n")
          .arg(n(px + line / 2), n(py + line / 2), n(w - line), n(h - line), n(corner),
               rgb(QColor(12, 13, 15)), n(line));
  svg +=
      QString("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\" stroke=\"%5\" stroke-width=\"%6\"/>\n")
          .arg(n(cx), n(lensY), n(lensR), rgb(QColor(12, 13, 15)), rgb(QColor(120, 127, 138)), n(line * 0.8));
  svg += QString("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n")
             .arg(n(cx - lensR * 0.3), n(lensY - lensR * 0.3), n(glintR), rgb(kLensGlint));
  for (int i = 0; i < 3; ++i) {
    const double y = py + h * (0.38 + 0.08 * i);
    svg += QString(
               "  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"%4\" stroke-width=\"%5\" "
               "stroke-linecap=\"round\"/>\n")
               .arg(n(cx - w * 0.26), n(y), n(cx + w * 0.26), rgb(QColor(18, 19, 22)), n(slot));
  }
  svg +=
      QString(
          "  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"url(#amber)\" stroke=\"%4\" stroke-width=\"%5\"/>\n")
          .arg(n(cx), n(bellY), n(bellR), rgb(QColor(70, 40, 6)), n(line * 0.8));
  svg += "</svg>\n";
  return svg.toUtf8();
}

}  // namespace skingen
