// The test scale for production bounds: only numbers in (0, 1] shorten, nothing lengthens.
#include "platform/core/bounds.h"

#include <gtest/gtest.h>

namespace {

TEST(BoundScale, OnlyAFactorInZeroToOneCounts) {
  const struct {
    const char* text;
    double scale;
  } cases[] = {{nullptr, 1.0}, {"", 1.0},     {"0.2", 0.2}, {"1", 1.0},   {"2", 1.0},   {"0", 1.0},
               {"-0.5", 1.0},  {"0.2x", 1.0}, {"abc", 1.0}, {"nan", 1.0}, {"inf", 1.0}, {"1e-3", 0.001}};
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(bounds::ScaleFrom(c.text), c.scale) << (c.text ? c.text : "unset");
}

}  // namespace
