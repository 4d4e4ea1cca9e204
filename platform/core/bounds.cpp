// Reads the test scale for production bounds once, for every thread.
#include "platform/core/bounds.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace bounds {

double ScaleFrom(const char* text) {
  if (text == nullptr) return 1.0;
  // from_chars, unlike strtod, ignores the locale the GUI toolkit sets: "0.2" reads the same everywhere.
  const std::string_view view(text);
  double scale = 0.0;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), scale);
  // A typo must not turn into a longer (or zero) wait.
  if (error != std::errc() || end != view.data() + view.size() || !std::isfinite(scale) || scale <= 0.0 ||
      scale > 1.0)
    return 1.0;
  return scale;
}

namespace {

double Scale() {
  static const double scale = ScaleFrom(std::getenv(kScaleVariable));
  return scale;
}

}  // namespace

std::chrono::milliseconds Bound(std::chrono::milliseconds production) {
  if (production.count() <= 1) return production;
  const auto scaled = static_cast<std::chrono::milliseconds::rep>(std::ceil(production.count() * Scale()));
  return std::chrono::milliseconds(std::clamp<std::chrono::milliseconds::rep>(scaled, 1, production.count()));
}

int BoundMs(int productionMs) {
  return static_cast<int>(Bound(std::chrono::milliseconds(productionMs)).count());
}

}  // namespace bounds
