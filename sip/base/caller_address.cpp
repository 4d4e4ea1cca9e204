// Caller address parsing: scheme separator, user part up to '@', host up to the port or parameters.
#include "sip/base/caller_address.h"

#include <cstddef>

#include "sip/base/text_buffer.h"

namespace {

constexpr std::size_t kWindow = 64;

// Index of c in text[from, from + count), stopping at the terminator; -1 when absent.
long Find(const char* text, std::size_t from, std::size_t count, char c) {
  for (std::size_t i = from; i < from + count && text[i] != '\0'; ++i)
    if (text[i] == c) return static_cast<long>(i);
  return -1;
}

}  // namespace

void ParseCallerAddress(const char* from, char (&name)[64], char (&host)[64]) {
  FillAndCopy(name, "");
  FillAndCopy(host, "");
  if (from == nullptr) return;
  const long colon = Find(from, 0, kWindow, ':');
  if (colon < 0) return;

  std::size_t hostStart = static_cast<std::size_t>(colon) + 1;
  const long at = Find(from, hostStart, kWindow, '@');
  if (at >= 0) {
    const std::size_t length = static_cast<std::size_t>(at) - hostStart;  // at most 63
    for (std::size_t i = 0; i < length; ++i) name[i] = from[hostStart + i];
    name[length] = '\0';
    hostStart = static_cast<std::size_t>(at) + 1;
  }

  std::size_t length = 0;
  for (; length < sizeof host - 1; ++length) {
    const char c = from[hostStart + length];
    if (c == '\0' || c == '>' || c == ':' || c == ';') break;
    host[length] = c;
  }
  host[length] = '\0';
}
