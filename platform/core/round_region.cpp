// Row insets of a rounded rectangle.
#include "platform/core/round_region.h"

#include <algorithm>
#include <cmath>

std::vector<int> RoundedRowInsets(int width, int height, int ellipseWidth, int ellipseHeight) {
  std::vector<int> insets(static_cast<std::size_t>(std::max(height, 0)), 0);
  const double rx = std::min(ellipseWidth, width) / 2.0;
  const double ry = std::min(ellipseHeight, height) / 2.0;
  if (rx <= 0 || ry <= 0) return insets;
  for (int row = 0; row < height; ++row) {
    // Distance of the row's centre line from the ellipse's centre, measured from the nearer edge.
    const int fromEdge = std::min(row, height - 1 - row);
    const double dy = ry - (fromEdge + 0.5);
    if (dy <= 0) continue;
    const double dx = rx * std::sqrt(std::max(0.0, 1.0 - (dy * dy) / (ry * ry)));
    insets[static_cast<std::size_t>(row)] = static_cast<int>(std::lround(rx - dx));
  }
  return insets;
}
