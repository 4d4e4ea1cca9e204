// The rounded window outline, built row by row so that all four corners are mirror images.
#pragma once

#include <vector>

// For each row of a width x height rectangle, how many pixels the rounded corners cut at each side.
// The corner is a quarter of an ellipse of ellipseWidth x ellipseHeight.
std::vector<int> RoundedRowInsets(int width, int height, int ellipseWidth, int ellipseHeight);
