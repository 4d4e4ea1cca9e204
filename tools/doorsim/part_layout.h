// The pieces of one stream part, kept apart so the server can send them in separate writes.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>

#include "tools/doorsim/doorsim.h"

namespace doorsim {

struct PartPieces {
  std::string lead;                  // garbage (if any) and the boundary line
  std::string literal;               // the header literal
  std::string digits;                // the length field
  std::string rest;                  // the flag and title lines up to the empty line, a changed first byte
  std::span<const uint8_t> picture;  // picture bytes sent unchanged
  std::string tail;                  // CR LF after the picture
};

PartPieces LayoutPart(std::span<const uint8_t> jpeg, char flag, std::string_view title, const Fault& fault,
                      std::mt19937_64& rng);

// Random bytes with stray 'C's and cut-off header literals, never the whole literal.
std::string Garbage(std::mt19937_64& rng);

}  // namespace doorsim
