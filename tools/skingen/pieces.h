// The 27 skin pieces in the order the client indexes them.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace skingen {

struct Piece {
  QString name;  // file name without the .bmp suffix
  QImage image;
};

std::vector<Piece> buildPieces();

}  // namespace skingen
