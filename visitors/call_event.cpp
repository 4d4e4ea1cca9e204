// The call event's bytes on the bus.
#include "visitors/call_event.h"

#include <cstdio>

namespace visitors {

namespace {
constexpr std::size_t kMaxField = 255;
}

std::string EncodeCallEvent(const CallEvent& event) {
  char head[64];
  std::snprintf(head, sizeof head, "K1 %d %lld\n", static_cast<int>(event.kind),
                static_cast<long long>(event.atMs));
  return head + event.host.substr(0, kMaxField) + "\n" + event.identity.substr(0, kMaxField);
}

std::optional<CallEvent> DecodeCallEvent(const std::string& bytes) {
  int kind = 0;
  long long atMs = 0;
  int used = 0;
  if (std::sscanf(bytes.c_str(), "K1 %d %lld\n%n", &kind, &atMs, &used) != 2 || used == 0) return std::nullopt;
  if (kind < 1 || kind > 5 || atMs <= 0) return std::nullopt;
  const std::string rest = bytes.substr(static_cast<std::size_t>(used));
  const std::size_t split = rest.find('\n');
  if (split == std::string::npos) return std::nullopt;
  CallEvent event{static_cast<CallEventKind>(kind), atMs, rest.substr(0, split), rest.substr(split + 1)};
  // Texts with a terminator inside, or longer than any sender writes, are not ours.
  for (const std::string* field : {&event.host, &event.identity})
    if (field->size() > kMaxField || field->find('\0') != std::string::npos || field->find('\n') != std::string::npos)
      return std::nullopt;
  return event;
}

}  // namespace visitors
