// Receiving the other copies' messages: one thread polls the listening socket and every connection
// that is still delivering, so a slow or stalled sender holds up nobody else.
#include "platform/gui/bus_listener.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/core/bounds.h"
#include "platform/core/bus_socket.h"
#include "platform/core/bus_wire.h"
#include "platform/core/diagnostics.h"
#include "platform/core/messages.h"
#include "platform/gui/bus_inbox.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window_record.h"

namespace bus {

namespace {

using Clock = std::chrono::steady_clock;
// More copies than this talking to us at once is no door-phone setup: the rest wait or give up.
constexpr std::size_t kMaxConnections = 64;

// A connection handed to the GUI thread: closed when the reply is written or the message dropped.
struct OwnedFd {
  explicit OwnedFd(int f) : fd(f) {}
  ~OwnedFd() { close(fd); }
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  int fd;
};

struct Incoming {
  int fd = -1;
  std::uint32_t pid = 0;
  Clock::time_point deadline;
  Header header{};
  std::size_t headerGot = 0;
  std::vector<unsigned char> payload;
  std::size_t payloadGot = 0;
};

enum class Progress { More, Complete, Failed };

void HandOver(Incoming& c) {
  const Header& h = c.header;
  if (static_cast<Kind>(h.kind) == Kind::Post) {
    close(c.fd);
    const UINT message = h.message;
    const WPARAM wParam = static_cast<WPARAM>(h.wParam);
    const LPARAM lParam = static_cast<LPARAM>(h.lParam);
    QueueOnGuiThread([=] { DispatchToProc(message, wParam, lParam); });
    return;
  }
  SentMessage m;
  m.message = h.message;
  m.wParam = static_cast<WPARAM>(h.wParam);
  m.lParam = static_cast<LPARAM>(h.lParam);
  m.copyData = h.message == WM_COPYDATA;
  m.tag = static_cast<std::uintptr_t>(h.tag);
  m.bytes = std::move(c.payload);
  auto connection = std::make_shared<OwnedFd>(c.fd);
  const std::uint32_t sequence = h.sequence, message = h.message, pid = c.pid;
  m.answer = [connection, sequence, message, pid](LRESULT result) {
    Header reply = MakeHeader(Kind::Reply, message, 0, result);
    reply.sender = static_cast<std::uint32_t>(getpid());
    reply.sequence = sequence;
    // The sender waits for exactly this and its socket is empty: all of it goes at once, or the
    // sender has gone (or given up) and the reply is of no use.
    if (WriteSome(connection->fd, &reply, sizeof reply) != static_cast<long>(sizeof reply))
      Diag(DiagLevel::Info, "instance bus: copy %u no longer waits for its answer", pid);
  };
  DeliverSent(std::move(m));
}

// Reads what has arrived; the header is checked as soon as it is complete, before any payload.
Progress ReadFrom(Incoming& c) {
  auto* headerBytes = reinterpret_cast<unsigned char*>(&c.header);
  for (;;) {
    unsigned char* into;
    std::size_t want;
    if (c.headerGot < sizeof c.header) {
      into = headerBytes + c.headerGot;
      want = sizeof c.header - c.headerGot;
    } else {
      into = c.payload.data() + c.payloadGot;
      want = c.payload.size() - c.payloadGot;
    }
    if (want == 0) return Progress::Complete;
    const ssize_t n = recv(c.fd, into, want, MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Progress::More;
    if (n <= 0) {
      // A copy that only looked whether we are alive hangs up without a word: no fault.
      if (n == 0 && c.headerGot == 0) return Progress::Failed;
      Diag(DiagLevel::Warning, "instance bus: copy %u ended its message after %zu bytes; dropped", c.pid,
           c.headerGot + c.payloadGot);
      return Progress::Failed;
    }
    if (c.headerGot < sizeof c.header) {
      c.headerGot += static_cast<std::size_t>(n);
      if (c.headerGot == sizeof c.header) {
        const std::string fault = CheckRequest(c.header, c.pid);
        if (!fault.empty()) {
          Diag(DiagLevel::Warning, "instance bus: message from copy %u dropped: %s", c.pid, fault.c_str());
          return Progress::Failed;
        }
        c.payload.resize(c.header.payloadLength);
      }
    } else {
      c.payloadGot += static_cast<std::size_t>(n);
    }
  }
}

void AcceptAll(int listenFd, std::vector<Incoming>& connections) {
  for (;;) {
    const int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK)
        Diag(DiagLevel::Warning, "instance bus: accept: %s", std::strerror(errno));
      return;
    }
    uid_t uid;
    pid_t pid;
    if (!PeerOf(fd, &uid, &pid) || uid != geteuid()) {
      Diag(DiagLevel::Warning, "instance bus: connection from uid %lu (pid %ld) refused: not our user",
           static_cast<unsigned long>(uid), static_cast<long>(pid));
      close(fd);
      continue;
    }
    if (connections.size() >= kMaxConnections) {
      Diag(DiagLevel::Warning, "instance bus: too many connections at once; one from %ld refused",
           static_cast<long>(pid));
      close(fd);
      continue;
    }
    Incoming c;
    c.fd = fd;
    c.pid = static_cast<std::uint32_t>(pid);
    c.deadline = Clock::now() + bounds::Bound(std::chrono::milliseconds(kPeerBoundMs));
    connections.push_back(std::move(c));
  }
}

}  // namespace

Listener::~Listener() { Stop(); }

bool Listener::Start(int listenFd) {
  if (thread_.joinable()) return false;
  stopFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (stopFd_ < 0) {
    Diag(DiagLevel::Error, "instance bus: eventfd: %s", std::strerror(errno));
    close(listenFd);
    return false;
  }
  listenFd_ = listenFd;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void Listener::Stop() {
  if (!thread_.joinable()) return;
  const std::uint64_t one = 1;
  ssize_t ignored = write(stopFd_, &one, sizeof one);
  (void)ignored;
  thread_.join();
  close(stopFd_);
  close(listenFd_);
  stopFd_ = listenFd_ = -1;
}

void Listener::Run() {
  std::vector<Incoming> connections;
  std::vector<pollfd> fds;
  for (;;) {
    fds.clear();
    fds.push_back({stopFd_, POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    auto nearest = Clock::time_point::max();
    for (const Incoming& c : connections) {
      fds.push_back({c.fd, POLLIN, 0});
      if (c.deadline < nearest) nearest = c.deadline;
    }
    int timeoutMs = -1;
    if (!connections.empty()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(nearest - Clock::now()).count();
      timeoutMs = left < 0 ? 0 : static_cast<int>(left);
    }
    if (poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) {
      Diag(DiagLevel::Error, "instance bus: poll: %s; no more messages from other copies",
           std::strerror(errno));
      break;
    }
    if (fds[0].revents != 0) break;

    std::vector<Incoming> still;
    const auto now = Clock::now();
    for (std::size_t i = 0; i < connections.size(); ++i) {
      Incoming& c = connections[i];
      Progress progress = Progress::More;
      if (fds[i + 2].revents != 0) progress = ReadFrom(c);
      if (progress == Progress::Complete) {
        HandOver(c);
      } else if (progress == Progress::Failed) {
        close(c.fd);
      } else if (now >= c.deadline) {
        Diag(DiagLevel::Warning, "instance bus: copy %u did not finish its message within %d ms; dropped",
             c.pid, bounds::BoundMs(kPeerBoundMs));
        close(c.fd);
      } else {
        still.push_back(std::move(c));
      }
    }
    connections = std::move(still);
    if (fds[1].revents != 0) AcceptAll(listenFd_, connections);
  }
  for (Incoming& c : connections) close(c.fd);
}

}  // namespace bus
