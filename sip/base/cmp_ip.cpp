// Address comparison for matching a door call to the copy that watches the calling unit.
#include "sip/base/cmp_ip.h"

#include <cctype>

namespace {

// The value of the group at *text and moves past its '.'; false when the text ended before the group.
// Values are capped: no group of any length can overflow, and a capped value still differs from
// every real address group.
bool NextGroup(const char*& text, bool& ended, long& value) {
  if (ended) return false;
  constexpr long kCap = 1000000;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;  // atoi skips leading white space
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  value = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    if (value < kCap) value = value * 10 + (*p - '0');
    ++p;
  }
  if (negative) value = -value;
  while (*p != '\0' && *p != '.') ++p;
  if (*p == '\0')
    ended = true;
  else
    ++p;
  text = p;
  return true;
}

}  // namespace

int cmp_ip(const char* IP1, const char* IP2) {
  if (IP1 == nullptr || IP2 == nullptr) return -1;
  bool ended1 = false, ended2 = false;
  for (int group = 0; group < 4; ++group) {
    long a = 0, b = 0;
    if (!NextGroup(IP1, ended1, a) || !NextGroup(IP2, ended2, b)) return -1;
    if (a != b) return -1;
  }
  return 0;
}
