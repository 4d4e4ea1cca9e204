// Blocking socket helpers for the server threads: listening, reading a request head, sending all.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace doorsim {

// A listening IPv4 TCP socket; -1 with `error` set when it cannot be made. `port` gets the bound port.
int ListenTcp(const std::string& address, uint16_t& port, std::string& error);

// True when a plain UDP socket can bind `address`:`port` now; else `error` (when given) says why.
bool UdpFree(const std::string& address, uint16_t port, std::string* error = nullptr);

// Reads up to the empty line that ends an HTTP request head (at most `limit` bytes).
bool ReadRequestHead(int fd, std::string& head, size_t limit);

// Sends every byte of the pieces in order; false when the peer is gone or the send timed out.
bool SendAll(int fd, std::initializer_list<std::span<const uint8_t>> pieces);
bool SendAll(int fd, std::string_view data);

std::span<const uint8_t> Bytes(std::string_view s);

void SetTimeouts(int fd, int receiveSeconds, int sendSeconds);
void SetNoDelay(int fd);
// The next close sends a reset instead of an orderly end, so the peer fails at once.
void SetResetOnClose(int fd);
// True when the peer has closed or reset its side.
bool PeerGone(int fd);

}  // namespace doorsim
