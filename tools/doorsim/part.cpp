// Laying out one stream part, with the faults that change its bytes.
#include <algorithm>

#include "tools/doorsim/part_layout.h"

namespace doorsim {
namespace {

// 14 bytes: the call flag then lands 16 bytes after the byte that ends the length digits.
constexpr std::string_view kFlagLabel = "X-Call-State: ";
// 7 bytes: the title then starts 9 bytes after the flag.
constexpr std::string_view kTitleLabel = "Title: ";
static_assert(kFlagLabel.size() == 14 && kTitleLabel.size() == 7);

std::string LongTitle(std::string_view title, int length) {
  std::string out(title);
  out += " ";
  for (int i = 0; static_cast<int>(out.size()) < length; ++i) out += static_cast<char>('A' + i % 26);
  out.resize(static_cast<size_t>(length));
  return out;
}

// Control bytes a title may carry; CR and LF are left out because they end the title line.
std::string CtrlTitle(std::string_view title) {
  std::string out(title);
  out += std::string_view("\x01\x07 bell\x1b[7m\x08\t\x7f\x00\x1f end", 20);
  return out;
}

}  // namespace

std::string Garbage(std::mt19937_64& rng) {
  for (;;) {
    std::string out;
    const int pieces = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < pieces; ++i) {
      switch (rng() % 3) {
        case 0:  // a cut-off literal: a reader must drop the match and hunt on
          out += kHeaderLiteral.substr(0, 1 + rng() % (kHeaderLiteral.size() - 1));
          break;
        case 1: out.append(1 + rng() % 4, 'C'); break;
        default:
          for (int n = 1 + static_cast<int>(rng() % 64); n > 0; --n) out += static_cast<char>(rng() & 0xFF);
          break;
      }
    }
    if (out.find(kHeaderLiteral) == std::string::npos) return out;
  }
}

PartPieces LayoutPart(std::span<const uint8_t> jpeg, char flag, std::string_view title, const Fault& fault,
                      std::mt19937_64& rng) {
  PartPieces p;
  if (fault.mode == FaultMode::Garbage) p.lead = Garbage(rng);
  p.lead += "\r\n--";
  p.lead += kBoundary;
  p.lead += "\r\n";
  p.literal = kHeaderLiteral;

  const long long size = static_cast<long long>(jpeg.size());
  switch (fault.mode) {
    case FaultMode::ShortLen: p.digits = std::to_string(std::max(0LL, size - fault.by)); break;
    case FaultMode::LongLen: p.digits = std::to_string(size + fault.by); break;
    case FaultMode::HugeLen: p.digits.assign(static_cast<size_t>(std::max(fault.digits, 10)), '9'); break;
    case FaultMode::NoDigit: break;
    default: p.digits = std::to_string(size); break;
  }

  std::string shownTitle(title);
  if (fault.mode == FaultMode::LongTitle) shownTitle = LongTitle(title, fault.length);
  if (fault.mode == FaultMode::CtrlTitle) shownTitle = CtrlTitle(title);

  p.rest = "\r\n";
  p.rest += kFlagLabel;
  p.rest += flag;
  p.rest += "\r\n";
  p.rest += kTitleLabel;
  p.rest += shownTitle;
  p.rest += "\r\n\r\n";
  p.picture = jpeg;
  if (fault.mode == FaultMode::NotFF && !jpeg.empty()) {
    p.rest += '\0';
    p.picture = jpeg.subspan(1);
  }
  p.tail = "\r\n";
  return p;
}

std::string BuildPart(std::span<const uint8_t> jpeg, char flag, std::string_view title, const Fault& fault,
                      uint64_t seed) {
  std::mt19937_64 rng(seed);
  const PartPieces p = LayoutPart(jpeg, flag, title, fault, rng);
  std::string out = p.lead + p.literal + p.digits + p.rest;
  out.append(reinterpret_cast<const char*>(p.picture.data()), p.picture.size());
  out += p.tail;
  return out;
}

}  // namespace doorsim
