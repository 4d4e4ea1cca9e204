// The instance bus's receiving side: a thread that takes the other copies' messages off the socket.
#pragma once

#include <thread>

namespace bus {

// Accepts connections on a listening socket, reads and checks each message within the bound, and
// hands it to the GUI thread: posted ones to the message loop, sent ones to the sent-message queue
// with the reply to write when the window procedure returns.
class Listener {
 public:
  Listener() = default;
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  ~Listener();

  // Takes ownership of listenFd.
  bool Start(int listenFd);
  void Stop();
  bool Running() const { return thread_.joinable(); }

 private:
  void Run();

  int listenFd_ = -1;
  int stopFd_ = -1;
  std::thread thread_;
};

}  // namespace bus
