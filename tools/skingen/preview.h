// Assembles saved skin pieces into a full window picture for eyeballing.
#pragma once

#include <QImage>
#include <QString>

namespace skingen {

// Default 336 x 301 window. With hot set, shows the lit lamp and the
// hover/pressed pieces instead of the resting ones.
QImage composeWindow(const QString& skinDir, bool hot);

}  // namespace skingen
