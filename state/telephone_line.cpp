// The telephone's tip line: the four wordings and the bytes that carry them between copies.
#include "state/telephone_line.h"

#include <algorithm>

namespace {

constexpr const char kPrefix[] = "Telephone: ";
// A server name or a reason is cut so that the whole line stays within its bytes and one tip line.
constexpr std::size_t kDetailMax = 64;

// The server's and the library's texts may hold anything; the tip and the other copies get printable
// ASCII only.
std::string Printable(const std::string& text) {
  std::string out = text.substr(0, kDetailMax);
  std::replace_if(
      out.begin(), out.end(), [](char c) { return c < 0x20 || c > 0x7E; }, '?');
  return out;
}

}  // namespace

TelephoneLine TelephoneOff() { return {std::string(kPrefix) + "off", false}; }

TelephoneLine TelephoneDirect(int port) {
  return {std::string(kPrefix) + "direct calls on port " + std::to_string(port), false};
}

TelephoneLine TelephoneRegistered(const std::string& server) {
  return {std::string(kPrefix) + "registered at " + Printable(server), false};
}

TelephoneLine TelephoneNotRegistered(const std::string& reason, bool failed) {
  return {std::string(kPrefix) + "not registered (" + Printable(reason) + ")", failed};
}

std::string EncodeTelephoneLine(const TelephoneLine& line) {
  return (line.failed ? "1" : "0") + line.text.substr(0, kTelephoneLineMaxBytes - 1);
}

std::optional<TelephoneLine> DecodeTelephoneLine(const void* bytes, std::size_t size) {
  if (bytes == nullptr || size < 1 || size > kTelephoneLineMaxBytes) return std::nullopt;
  const std::string raw(static_cast<const char*>(bytes), size);
  if (raw[0] != '0' && raw[0] != '1') return std::nullopt;
  TelephoneLine line{raw.substr(1), raw[0] == '1'};
  if (line.text.rfind(kPrefix, 0) != 0) return std::nullopt;
  if (!std::all_of(line.text.begin(), line.text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
    return std::nullopt;
  return line;
}
