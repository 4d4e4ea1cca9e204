// The program icon at its two shipped sizes.
#pragma once

#include <QImage>

namespace skingen {

// Square icon with transparent surroundings; sizes up to 24 get the
// pixel-aligned tray drawing.
QImage renderIcon(int size);

}  // namespace skingen
