// A small HTTP/1.0 client over loopback for tests: one-shot GETs and bodies read piece by piece.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

struct HttpReply {
  int status = 0;
  std::string head;  // status line and headers, up to the empty line
  std::string body;
};

// One GET of `target` on 127.0.0.1:port, read until the server closes. nullopt when it cannot
// connect, the connection fails, or the deadline passes first.
std::optional<HttpReply> HttpGet(uint16_t port, std::string_view target,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(5));

// The same on host:port (another loopback address, e.g. 127.0.0.2).
std::optional<HttpReply> HttpGetAt(const std::string& host, uint16_t port, std::string_view target,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Splits a received response into status, head and body; nullopt before the head is complete.
std::optional<HttpReply> SplitResponse(std::string_view raw);

// A GET whose response is read as it arrives (for never-ending bodies).
class HttpStream {
 public:
  HttpStream() = default;
  ~HttpStream();
  HttpStream(const HttpStream&) = delete;
  HttpStream& operator=(const HttpStream&) = delete;

  // Connects and sends the request; false when the connection cannot be made.
  bool Open(uint16_t port, std::string_view target, std::string_view userAgent = "test");
  // One read of whatever has arrived, waiting at most `timeout`. The bytes are appended to Data()
  // and their count to ReadSizes(). Returns the count, 0 when the server ended the connection,
  // -1 on a time-out or an error (Reset() tells a reset apart).
  long ReadSome(std::chrono::milliseconds timeout);
  // Reads until done(Data()) holds; false when the connection ends or the deadline passes first.
  bool ReadUntil(const std::function<bool(const std::string&)>& done, std::chrono::milliseconds timeout);
  void Close();

  const std::string& Data() const { return data_; }
  const std::vector<size_t>& ReadSizes() const { return sizes_; }
  bool Ended() const { return ended_; }
  bool Reset() const { return reset_; }

  // The address Open connects to: 127.0.0.1 unless set.
  void SetHost(std::string host) { host_ = std::move(host); }

 private:
  std::string host_ = "127.0.0.1";
  int fd_ = -1;
  std::string data_;
  std::vector<size_t> sizes_;
  bool ended_ = false;
  bool reset_ = false;
};

}  // namespace test_support
