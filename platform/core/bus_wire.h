// The instance bus's wire format: one fixed header, then the copy-data bytes, per message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bus {

constexpr std::uint32_t kMagic = 0x5355424B;  // "KBUS" in the byte order of every copy on this machine
constexpr std::uint16_t kVersion = 1;
// The largest copy-data block that travels between copies.
constexpr std::uint32_t kMaxPayload = 64 * 1024;
// How long one copy may take to take and handle a message before the sender gives up on it.
constexpr int kPeerBoundMs = 2000;

enum class Kind : std::uint16_t { Send = 1, Post = 2, Reply = 3 };

// Every field is a fixed-width integer; the struct has no padding, so it goes on the wire as is.
struct Header {
  std::uint32_t magic;
  std::uint16_t version;
  std::uint16_t kind;
  std::uint32_t message;
  std::uint32_t sender;  // the sending copy's process id
  std::uint64_t wParam;
  std::int64_t lParam;     // a reply carries the receiver's result here
  std::uint64_t tag;       // the copy-data tag (WM_COPYDATA only)
  std::uint32_t sequence;  // ties a reply to its request
  std::uint32_t payloadLength;
};
static_assert(sizeof(Header) == 48, "the header travels as raw bytes and must have no padding");

Header MakeHeader(Kind kind, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam);

// Only messages whose parameters are plain values may come from another copy: a pointer in lParam
// (WM_GETMINMAXINFO, ...) would reach our window procedure as an address in some other process.
bool MayCrossCopies(std::uint32_t message);

// Checks a request header as it arrived from peerPid; "" when it is acceptable, else why not.
std::string CheckRequest(const Header& header, std::uint32_t peerPid);
// Checks a reply to the request with the given sequence and message; "" when acceptable.
std::string CheckReply(const Header& header, std::uint32_t sequence, std::uint32_t message);

}  // namespace bus
