// The telephone's line in every copy's tray tip: its wording, and its bytes between the copies.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// What the tip says of the telephone, and whether the icon carries the registration-failed mark.
struct TelephoneLine {
  std::string text;
  bool failed = false;
  bool operator==(const TelephoneLine&) const = default;
};

// The bytes a line travels in are at most this long; a longer text from another copy is refused.
constexpr std::size_t kTelephoneLineMaxBytes = 120;

TelephoneLine TelephoneOff();
TelephoneLine TelephoneDirect(int port);
TelephoneLine TelephoneRegistered(const std::string& server);
// failed: the server refused or could not be reached (the mark); false while a registration is under way.
TelephoneLine TelephoneNotRegistered(const std::string& reason, bool failed);

// Copy-data tag 13: a mark byte ('1' failed, '0' not) and the text, without a terminating zero.
std::string EncodeTelephoneLine(const TelephoneLine& line);
// The line from another copy's bytes; nothing unless they are a mark byte and a "Telephone: " text of
// printable ASCII within kTelephoneLineMaxBytes.
std::optional<TelephoneLine> DecodeTelephoneLine(const void* bytes, std::size_t size);
