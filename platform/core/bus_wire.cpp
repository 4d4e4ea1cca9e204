// Building and checking the instance bus's message headers.
#include "platform/core/bus_wire.h"

#include <cstdio>

#include "platform/core/messages.h"

namespace bus {

namespace {

std::string Format(const char* format, unsigned long a, unsigned long b = 0) {
  char text[128];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

}  // namespace

Header MakeHeader(Kind kind, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) {
  Header h{};
  h.magic = kMagic;
  h.version = kVersion;
  h.kind = static_cast<std::uint16_t>(kind);
  h.message = message;
  h.wParam = wParam;
  h.lParam = lParam;
  return h;
}

bool MayCrossCopies(std::uint32_t message) {
  // Registered messages carry a code and a value; copy data carries its bytes in the payload.
  return message == WM_COPYDATA || (message >= 0xC000u && message <= 0xFFFFu);
}

std::string CheckRequest(const Header& header, std::uint32_t peerPid) {
  if (header.magic != kMagic) return Format("bad magic 0x%08lx", header.magic);
  if (header.version != kVersion) return Format("unknown version %lu", header.version);
  const auto kind = static_cast<Kind>(header.kind);
  if (kind != Kind::Send && kind != Kind::Post) return Format("unknown kind %lu", header.kind);
  if (!MayCrossCopies(header.message))
    return Format("message 0x%lx may not come from another copy", header.message);
  if (header.sender != peerPid)
    return Format("claims to come from %lu but comes from %lu", header.sender, peerPid);
  if (header.payloadLength > kMaxPayload)
    return Format("payload of %lu bytes is over the limit", header.payloadLength);
  if (header.message != WM_COPYDATA && header.payloadLength != 0)
    return Format("message 0x%lx carries %lu bytes it cannot have", header.message, header.payloadLength);
  // Copy data needs an answer to be of use and points into the sender's memory: it is never posted.
  if (header.message == WM_COPYDATA && kind != Kind::Send) return "copy data that is not sent";
  return "";
}

std::string CheckReply(const Header& header, std::uint32_t sequence, std::uint32_t message) {
  if (header.magic != kMagic) return Format("bad magic 0x%08lx", header.magic);
  if (header.version != kVersion) return Format("unknown version %lu", header.version);
  if (static_cast<Kind>(header.kind) != Kind::Reply)
    return Format("kind %lu where a reply was due", header.kind);
  if (header.sequence != sequence || header.message != message)
    return Format("reply to request %lu, not to %lu", header.sequence, sequence);
  if (header.payloadLength != 0) return "a reply with a payload";
  return "";
}

}  // namespace bus
