// The simulator's shared state: the latest picture, the settings the control interface changes,
// counters, and the connection threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tools/doorsim/doorsim.h"
#include "tools/doorsim/http.h"
#include "tools/doorsim/sip_agent.h"

namespace doorsim {

// The picture all stream connections share; encoded once per tick by the producer.
struct Frame {
  uint64_t seq = 0;
  std::shared_ptr<const std::vector<uint8_t>> jpeg;
  char flag = '0';
  std::string title;
};

struct Connection {
  int fd = -1;  // guarded by Server::Impl::clientsMu; closed by the connection's own thread
  std::thread thread;
  std::atomic<bool> done{false};
};

struct Server::Impl {
  explicit Impl(Options o) : options(std::move(o)), flag(options.flag), title(options.title) {}

  void AcceptLoop();
  void ProduceLoop();
  void ReapFinished();
  void Serve(Connection* c);
  void Stream(int fd);
  void Control(int fd, const Request& req);
  void Relay(int fd, const Request& req);
  void SipControl(int fd, const Request& req);
  bool SendPart(int fd, const Frame& frame, const Fault& fault, bool chunked, std::mt19937_64& rng);
  bool PauseFor(int ms);  // false when the server stops meanwhile
  void Event(std::string_view line);

  const Options options;
  std::string error;
  bool started = false;
  int listenFd = -1;
  int wakeFd = -1;  // eventfd that wakes the accept loop at stop
  uint16_t port = 0;
  std::atomic<bool> stopping{false};

  mutable std::mutex mu;  // guards the members down to userAgent
  std::condition_variable cv;
  Frame latest;
  char flag;
  std::string title;
  Fault fault;
  uint64_t faultGeneration = 0;
  std::string userAgent;

  std::atomic<int> relays[2] = {0, 0};
  std::atomic<uint64_t> pictures{0};
  std::atomic<uint64_t> accepted{0};
  std::atomic<int> streams{0};
  std::atomic<uint64_t> seeds{0};

  std::mutex clientsMu;
  std::list<std::unique_ptr<Connection>> clients;
  // Made at Start and kept until the next Start, so control threads never see it vanish.
  std::unique_ptr<SipAgent> sip;
  std::string sipError;  // why the SIP side is off; written only while no other thread runs

  std::mutex eventMu;
  std::thread acceptor;
  std::thread producer;
};

}  // namespace doorsim
