// HTTP test client over POSIX sockets, every wait bounded by poll().
#include "tests/support/http_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace test_support {

using Clock = std::chrono::steady_clock;

HttpStream::~HttpStream() { Close(); }

void HttpStream::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

bool HttpStream::Open(uint16_t port, std::string_view target, std::string_view userAgent) {
  Close();
  data_.clear();
  sizes_.clear();
  ended_ = reset_ = false;
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return false;
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  if (inet_pton(AF_INET, host_.c_str(), &sa.sin_addr) != 1) {
    Close();
    return false;
  }
  if (connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    Close();
    return false;
  }
  std::string request = "GET ";
  request += target;
  request += " HTTP/1.0\r\nHost: 127.0.0.1\r\nUser-Agent: ";
  request += userAgent;
  request += "\r\n\r\n";
  return send(fd_, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
}

long HttpStream::ReadSome(std::chrono::milliseconds timeout) {
  if (fd_ < 0 || ended_) return 0;
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return -1;
  char buf[65536];
  const ssize_t n = recv(fd_, buf, sizeof buf, 0);
  if (n < 0) {
    reset_ = errno == ECONNRESET;
    ended_ = true;
    return -1;
  }
  if (n == 0) {
    ended_ = true;
    return 0;
  }
  data_.append(buf, static_cast<size_t>(n));
  sizes_.push_back(static_cast<size_t>(n));
  return n;
}

bool HttpStream::ReadUntil(const std::function<bool(const std::string&)>& done,
                           std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!done(data_)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || ended_) return false;
    ReadSome(left);
  }
  return true;
}

std::optional<HttpReply> SplitResponse(std::string_view raw) {
  const size_t end = raw.find("\r\n\r\n");
  if (end == std::string_view::npos || !raw.starts_with("HTTP/1.")) return std::nullopt;
  HttpReply reply;
  reply.head = raw.substr(0, end + 2);
  reply.body = raw.substr(end + 4);
  const size_t sp = raw.find(' ');
  if (sp == std::string_view::npos || sp + 4 > end) return std::nullopt;
  reply.status = std::stoi(std::string(raw.substr(sp + 1, 3)));
  return reply;
}

std::optional<HttpReply> HttpGet(uint16_t port, std::string_view target, std::chrono::milliseconds timeout) {
  return HttpGetAt("127.0.0.1", port, target, timeout);
}

std::optional<HttpReply> HttpGetAt(const std::string& host, uint16_t port, std::string_view target,
                                   std::chrono::milliseconds timeout) {
  HttpStream stream;
  stream.SetHost(host);
  if (!stream.Open(port, target)) return std::nullopt;
  const auto deadline = Clock::now() + timeout;
  while (!stream.Ended()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    if (stream.ReadSome(left) < 0 && !stream.Ended()) return std::nullopt;
  }
  if (stream.Reset()) return std::nullopt;
  return SplitResponse(stream.Data());
}

}  // namespace test_support
