// The program icon at the sizes desktops ask for.
#pragma once

#include <QImage>

namespace skingen {

// The sizes written, each as kestrova_<size>.png (64 as kestrova.png, the window's icon).
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Square icon with transparent surroundings; sizes up to 24 get the
// pixel-aligned tray drawing.
QImage renderIcon(int size);

}  // namespace skingen
