// The server's life: listening, the picture producer, the connection threads, stopping.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <ctime>

#include "tools/doorsim/server_impl.h"
#include "tools/doorsim/socket_io.h"

namespace doorsim {

Server::Server(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Server::~Server() { Stop(); }

bool Server::Start() {
  Impl& s = *impl_;
  if (s.started) return true;
  const Options& o = s.options;
  if (o.width < 16 || o.height < 16 || o.width > 8192 || o.height > 8192 || o.fps < 1 || o.fps > 100 ||
      o.maxClients < 1) {
    s.error = "size must be 16x16 to 8192x8192, fps 1 to 100";
    return false;
  }
  s.stopping = false;
  s.port = o.port;
  s.listenFd = ListenTcp(o.address, s.port, s.error);
  if (s.listenFd < 0) return false;
  // A free TCP port may be taken for UDP: look for a number free for both, a few times.
  for (int tries = 0; o.sip && o.port == 0 && tries < 20 && !UdpFree(o.address, s.port); ++tries) {
    close(s.listenFd);
    s.port = 0;
    s.listenFd = ListenTcp(o.address, s.port, s.error);
    if (s.listenFd < 0) return false;
  }
  s.wakeFd = eventfd(0, EFD_CLOEXEC);
  if (s.wakeFd < 0) {
    s.error = "eventfd failed";
    close(s.listenFd);
    s.listenFd = -1;
    return false;
  }
  s.sip.reset();
  s.sipError.clear();
  if (o.sip) {
    s.sip = std::make_unique<SipAgent>(o.address, s.port, o.sipUser,
                                       [&s](std::string_view line) { s.Event(line); });
    if (!s.sip->Start(s.sipError)) s.sip.reset();
  }
  s.started = true;
  s.acceptor = std::thread([&s] { s.AcceptLoop(); });
  s.producer = std::thread([&s] { s.ProduceLoop(); });
  return true;
}

void Server::Stop() {
  Impl& s = *impl_;
  if (!s.started) return;
  s.started = false;
  s.stopping = true;
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t w = write(s.wakeFd, &one, sizeof one);
  {
    std::lock_guard lock(s.mu);
    s.cv.notify_all();
  }
  // The calls end first, while the control interface still answers.
  if (s.sip) s.sip->Stop();
  s.acceptor.join();
  s.producer.join();
  std::list<std::unique_ptr<Connection>> all;
  {
    std::lock_guard lock(s.clientsMu);
    for (auto& c : s.clients) {
      if (c->fd >= 0) shutdown(c->fd, SHUT_RDWR);
    }
    all.swap(s.clients);
  }
  for (auto& c : all) c->thread.join();
  close(s.listenFd);
  close(s.wakeFd);
  s.listenFd = s.wakeFd = -1;
}

const std::string& Server::LastError() const { return impl_->error; }
uint16_t Server::Port() const { return impl_->port; }
std::string Server::Address() const { return impl_->options.address + ":" + std::to_string(impl_->port); }

void Server::SetFlag(char flag) {
  std::lock_guard lock(impl_->mu);
  impl_->flag = flag;
}

void Server::SetTitle(std::string title) {
  std::lock_guard lock(impl_->mu);
  impl_->title = std::move(title);
}

void Server::SetFault(const Fault& fault) {
  std::lock_guard lock(impl_->mu);
  impl_->fault = fault;
  ++impl_->faultGeneration;
  impl_->cv.notify_all();
}

Fault Server::CurrentFault() const {
  std::lock_guard lock(impl_->mu);
  return impl_->fault;
}

int Server::RelayCount(int relay) const {
  return relay == 1 || relay == 2 ? impl_->relays[relay - 1].load() : 0;
}
uint64_t Server::PicturesSent() const { return impl_->pictures; }
int Server::OpenStreams() const { return impl_->streams; }
uint64_t Server::StreamsAccepted() const { return impl_->accepted; }

std::string Server::LastUserAgent() const {
  std::lock_guard lock(impl_->mu);
  return impl_->userAgent;
}

void Server::Impl::AcceptLoop() {
  while (!stopping) {
    pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) break;
    if (!(fds[0].revents & POLLIN)) continue;
    const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ReapFinished();
    std::lock_guard lock(clientsMu);
    if (static_cast<int>(clients.size()) >= options.maxClients) {
      SetResetOnClose(fd);
      close(fd);
      continue;
    }
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    Connection* raw = c.get();
    clients.push_back(std::move(c));
    raw->thread = std::thread([this, raw] { Serve(raw); });
  }
}

void Server::Impl::ReapFinished() {
  std::list<std::unique_ptr<Connection>> finished;
  {
    std::lock_guard lock(clientsMu);
    for (auto it = clients.begin(); it != clients.end();) {
      auto next = std::next(it);
      if ((*it)->done) finished.splice(finished.end(), clients, it);
      it = next;
    }
  }
  for (auto& c : finished) c->thread.join();
}

void Server::Impl::ProduceLoop() {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::microseconds(1000000 / options.fps);
  auto next = Clock::now();
  uint64_t frameNo = 0;
  for (;;) {
    {
      std::unique_lock lock(mu);
      if (cv.wait_until(lock, next, [this] { return stopping.load(); })) return;
    }
    next += period;
    // After a long encode or a suspended process, start a fresh rhythm rather than catching up.
    if (Clock::now() > next + period) next = Clock::now();
    ++frameNo;
    // Nobody watches: keep the time running but spend nothing on pictures.
    if (streams == 0) continue;

    char flagNow;
    std::string titleNow;
    {
      std::lock_guard lock(mu);
      flagNow = flag;
      titleNow = title;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    auto jpeg = std::make_shared<const std::vector<uint8_t>>(
        EncodePicture(options.width, options.height, frameNo, titleNow, clock));

    std::lock_guard lock(mu);
    latest = Frame{latest.seq + 1, std::move(jpeg), flagNow, std::move(titleNow)};
    cv.notify_all();
  }
}

bool Server::Impl::PauseFor(int ms) {
  if (ms <= 0) return !stopping;
  std::unique_lock lock(mu);
  return !cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping.load(); });
}

void Server::Impl::Event(std::string_view line) {
  if (!options.onEvent) return;
  std::lock_guard lock(eventMu);
  options.onEvent(line);
}

}  // namespace doorsim
