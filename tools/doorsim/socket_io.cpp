// Blocking socket helpers over POSIX sockets.
#include "tools/doorsim/socket_io.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace doorsim {

int ListenTcp(const std::string& address, uint16_t& port, std::string& error) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
    error = "not an IPv4 address: " + address;
    return -1;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(fd, 128) != 0) {
    error = "cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
    close(fd);
    return -1;
  }
  socklen_t len = sizeof sa;
  getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  port = ntohs(sa.sin_port);
  return fd;
}

bool UdpFree(const std::string& address, uint16_t port, std::string* error) {
  std::string why;
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  int fd = -1;
  if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
    why = "not an IPv4 address: " + address;
  } else if ((fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) < 0) {
    why = std::string("UDP socket: ") + std::strerror(errno);
  } else if (bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
    why = "UDP " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
  }
  if (fd >= 0) close(fd);
  if (error) *error = why;
  return why.empty();
}

bool ReadRequestHead(int fd, std::string& head, size_t limit) {
  char buf[1024];
  while (head.size() < limit) {
    const ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    head.append(buf, static_cast<size_t>(n));
    if (head.find("\r\n\r\n") != std::string::npos || head.find("\n\n") != std::string::npos) return true;
  }
  return false;
}

bool SendAll(int fd, std::initializer_list<std::span<const uint8_t>> pieces) {
  std::vector<iovec> iov;
  for (const auto& p : pieces) {
    if (!p.empty()) iov.push_back({const_cast<uint8_t*>(p.data()), p.size()});
  }
  size_t first = 0;
  while (first < iov.size()) {
    msghdr msg{};
    msg.msg_iov = &iov[first];
    msg.msg_iovlen = iov.size() - first;
    ssize_t n = sendmsg(fd, &msg, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    while (n > 0 && first < iov.size()) {
      const size_t take = std::min(static_cast<size_t>(n), iov[first].iov_len);
      iov[first].iov_base = static_cast<uint8_t*>(iov[first].iov_base) + take;
      iov[first].iov_len -= take;
      n -= static_cast<ssize_t>(take);
      if (iov[first].iov_len == 0) ++first;
    }
  }
  return true;
}

bool SendAll(int fd, std::string_view data) { return SendAll(fd, {Bytes(data)}); }

std::span<const uint8_t> Bytes(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

void SetTimeouts(int fd, int receiveSeconds, int sendSeconds) {
  timeval rt{receiveSeconds, 0};
  timeval st{sendSeconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &rt, sizeof rt);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &st, sizeof st);
}

void SetNoDelay(int fd) {
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void SetResetOnClose(int fd) {
  linger l{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}

bool PeerGone(int fd) {
  pollfd p{fd, POLLIN | POLLRDHUP, 0};
  if (poll(&p, 1, 0) <= 0) return false;
  if (p.revents & (POLLHUP | POLLERR | POLLRDHUP)) return true;
  char c;
  return recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

}  // namespace doorsim
