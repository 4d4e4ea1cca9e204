// The built-in ring: a two-note chime that fades to silence, so that it loops without a click.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kRingSampleRate = 12000;
constexpr int kRingSamples = 2 * kRingSampleRate;  // two seconds: the chime, then a pause

// Mono 16-bit samples. Only additions, multiplications and divisions are used (no library maths),
// so every machine computes the same bytes.
std::vector<std::int16_t> RingSamples();
