// Command line entry: writes the skin pieces, the icons, the screenshot for software centres, optionally a
// preview.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

#include "tools/skingen/icon.h"
#include "tools/skingen/pieces.h"
#include "tools/skingen/preview.h"
#include "tools/skingen/svg.h"

namespace {

void usage() {
  std::fputs(
      "usage: skingen [--preview out.png] [--preview-hot out.png] [--zoom N]"
      " <skin-dir> <icon-dir> [<screenshot-dir>]\n",
      stderr);
}

bool savePreview(const QString& skinDir, const QString& path, bool hot, int zoom) {
  QImage window = skingen::composeWindow(skinDir, hot);
  if (zoom > 1) window = window.scaled(window.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (window.save(path, "PNG")) return true;
  std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
  return false;
}

bool saveText(const QString& path, const QByteArray& text) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size()) return true;
  std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);

  QString preview;
  QString previewHot;
  int zoom = 1;
  QStringList dirs;
  for (int i = 0; i < args.size(); ++i) {
    const QString& arg = args.at(i);
    const bool hasValue = i + 1 < args.size();
    if (arg == "--preview" && hasValue)
      preview = args.at(++i);
    else if (arg == "--preview-hot" && hasValue)
      previewHot = args.at(++i);
    else if (arg == "--zoom" && hasValue)
      zoom = args.at(++i).toInt();
    else if (arg.startsWith("--")) {
      usage();
      return 2;
    } else
      dirs << arg;
  }
  if (dirs.size() != 2 && dirs.size() != 3) {
    usage();
    return 2;
  }
  const QString skinDir = dirs.at(0);
  const QString iconDir = dirs.at(1);
  const QString screenshotDir = dirs.value(2);
  if (!QDir().mkpath(skinDir) || !QDir().mkpath(iconDir) ||
      (!screenshotDir.isEmpty() && !QDir().mkpath(screenshotDir))) {
    std::fputs("skingen: cannot create output folders\n", stderr);
    return 1;
  }

  int failures = 0;
  for (const skingen::Piece& piece : skingen::buildPieces()) {
    // RGB32 makes the BMP writer emit plain 24-bit pixels without alpha.
    const QString path = QDir(skinDir).filePath(piece.name + ".bmp");
    if (!piece.image.convertToFormat(QImage::Format_RGB32).save(path, "BMP")) {
      std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
      ++failures;
    }
  }
  for (const int size : skingen::kIconSizes) {
    const QString name = size == 64 ? QString("kestrova.png") : QString("kestrova_%1.png").arg(size);
    const QString path = QDir(iconDir).filePath(name);
    if (!skingen::renderIcon(size).save(path, "PNG")) {
      std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
      ++failures;
    }
  }
  if (!saveText(QDir(iconDir).filePath("kestrova.svg"), skingen::iconSvg())) ++failures;
  // Software centres show the window at twice its size: the resting look, waiting for the unit.
  if (!screenshotDir.isEmpty() &&
      !savePreview(skinDir, QDir(screenshotDir).filePath("kestrova-window.png"), false, 2))
    ++failures;

  if (!preview.isEmpty() && !savePreview(skinDir, preview, false, zoom)) ++failures;
  if (!previewHot.isEmpty() && !savePreview(skinDir, previewHot, true, zoom)) ++failures;
  return failures == 0 ? 0 : 1;
}
