// Production bounds on waits, shortened for tests through KESTROVA_BOUND_SCALE.
#pragma once

#include <chrono>

namespace bounds {

// The environment variable tests set to shorten every bound a wait can run out: a factor in (0, 1], e.g.
// 0.1. Anything else (unset, unparsable, zero, negative, above 1) leaves the production bounds, so it can
// never lengthen one.
inline constexpr const char* kScaleVariable = "KESTROVA_BOUND_SCALE";

// The bound to use for a wait whose production bound is the given one: shortened by the scale, never
// below 1 ms, never above production.
std::chrono::milliseconds Bound(std::chrono::milliseconds production);
int BoundMs(int productionMs);

// The factor a value of the variable stands for: 1 for anything but a number in (0, 1].
double ScaleFrom(const char* text);

}  // namespace bounds
