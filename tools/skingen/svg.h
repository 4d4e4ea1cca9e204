// The program icon as a scalable drawing, for desktops that draw icons at any size.
#pragma once

#include <QByteArray>

namespace skingen {

// An SVG document of the large icon's door station, with the same shapes and colours.
QByteArray iconSvg();

}  // namespace skingen
