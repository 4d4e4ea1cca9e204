// The door unit's address: dotted decimal by value, host names by text, and the characters a URL
// cannot take from it.
#include "state/door_address.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

// The host in front of the port: a bracketed IPv6 address with its brackets, else up to the first ':'.
std::string_view HostPart(std::string_view text) {
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    return close == std::string_view::npos ? text : text.substr(0, close + 1);
  }
  return text.substr(0, text.find(':'));
}

// Four groups of digits, each at most 255, making up the whole host.
bool DottedDecimal(std::string_view host, int (&groups)[4]) {
  std::size_t at = 0;
  for (int group = 0; group < 4; ++group) {
    if (group > 0) {
      if (at >= host.size() || host[at] != '.') return false;
      ++at;
    }
    const std::size_t first = at;
    int value = 0;
    while (at < host.size() && host[at] >= '0' && host[at] <= '9') {
      value = value * 10 + (host[at] - '0');
      if (value > 255) return false;
      ++at;
    }
    if (at == first) return false;
    groups[group] = value;
  }
  return at == host.size();
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

int cmp_ip(const char* IP1, const char* IP2) {
  if (IP1 == nullptr || IP2 == nullptr) return -1;
  const std::string_view host1 = HostPart(IP1), host2 = HostPart(IP2);
  if (host1.empty() || host2.empty()) return -1;
  int groups1[4], groups2[4];
  if (DottedDecimal(host1, groups1) && DottedDecimal(host2, groups2))
    return std::memcmp(groups1, groups2, sizeof groups1) == 0 ? 0 : -1;
  return EqualIgnoringCase(host1, host2) ? 0 : -1;
}

std::string DoorAddressFault(const char* address) {
  for (const char* p = address != nullptr ? address : ""; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == ' ') return "a blank";
    if (c < 0x20 || c == 0x7F) {
      char named[32];
      std::snprintf(named, sizeof named, "the control character 0x%02X", c);
      return named;
    }
    // A user part, a path, a query, a fragment: the request would go elsewhere or ask for something else.
    if (std::strchr("@/?#\\", c) != nullptr) return std::string("\"") + static_cast<char>(c) + "\"";
  }
  return {};
}

std::string DoorUrlAddress(const char* address) {
  const std::string_view text = address != nullptr ? address : "";
  const std::string_view host = HostPart(text);
  int groups[4];
  if (!DottedDecimal(host, groups)) return std::string(text);
  char decimal[16];
  std::snprintf(decimal, sizeof decimal, "%d.%d.%d.%d", groups[0], groups[1], groups[2], groups[3]);
  return std::string(decimal).append(text.substr(host.size()));
}
