// Sending and posting to other copies: requests go out to every receiver at once, then the sender
// waits for the replies within the bound, handling on the GUI thread what is sent to it meanwhile.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/core/bounds.h"
#include "platform/core/bus_socket.h"
#include "platform/core/bus_wire.h"
#include "platform/core/diagnostics.h"
#include "platform/core/messages.h"
#include "platform/core/runtime_folder.h"
#include "platform/gui/application.h"
#include "platform/gui/bus_inbox.h"
#include "platform/gui/bus_state.h"
#include "platform/gui/instance_bus.h"
#include "platform/gui/window_record.h"

namespace {

using Clock = std::chrono::steady_clock;
// The own window's share of a broadcast from another thread: as long as any send to it may take.
constexpr int kOwnWindowBoundMs = 5000;

std::atomic<std::uint32_t> g_sequence{0};

std::uint32_t OwnPid() { return static_cast<std::uint32_t>(getpid()); }

struct Exchange {
  std::uint32_t pid = 0;
  int fd = -1;
  std::uint32_t sequence = 0;
  std::vector<unsigned char> request;
  std::size_t written = 0;
  bus::Header reply{};
  std::size_t replyGot = 0;
  bool finished = false;
  LRESULT result = 0;
};

std::vector<unsigned char> Encode(bus::Kind kind, UINT message, WPARAM wParam, LPARAM lParam,
                                  std::uint32_t sequence, const COPYDATASTRUCT* copyData) {
  bus::Header h = bus::MakeHeader(kind, message, wParam, lParam);
  h.sender = OwnPid();
  h.sequence = sequence;
  if (copyData != nullptr) {
    h.lParam = 0;  // an address in our memory means nothing to the receiver
    h.tag = copyData->dwData;
    h.payloadLength = copyData->cbData;
  }
  std::vector<unsigned char> bytes(sizeof h + h.payloadLength);
  std::memcpy(bytes.data(), &h, sizeof h);
  if (h.payloadLength > 0) std::memcpy(bytes.data() + sizeof h, copyData->lpData, h.payloadLength);
  return bytes;
}

// The copies a message to hwnd goes to, other than this one; dead copies found on the way are cleaned up.
std::vector<int> Connect(const std::string& folder, HWND hwnd, std::vector<std::uint32_t>* pids) {
  std::vector<std::uint32_t> targets;
  if (hwnd == HWND_BROADCAST)
    targets = bus::ListPeers(folder);
  else
    targets.push_back(hwnd);
  std::vector<int> fds;
  for (std::uint32_t pid : targets) {
    if (pid == OwnPid()) continue;
    int fd;
    const bus::ConnectResult r = bus::ConnectTo(folder, pid, &fd);
    if (r == bus::ConnectResult::Dead) bus::RemoveDeadSocket(folder, pid);
    if (r != bus::ConnectResult::Connected) continue;
    fds.push_back(fd);
    pids->push_back(pid);
  }
  return fds;
}

// Writes what fits; false when the connection failed.
bool Flush(Exchange& e) {
  while (e.written < e.request.size()) {
    const long n = bus::WriteSome(e.fd, e.request.data() + e.written, e.request.size() - e.written);
    if (n < 0) return false;
    if (n == 0) return true;
    e.written += static_cast<std::size_t>(n);
  }
  return true;
}

void Finish(Exchange& e, const char* why) {
  if (why != nullptr) Diag(DiagLevel::Warning, "instance bus: copy %u: %s", e.pid, why);
  close(e.fd);
  e.finished = true;
}

void ReadReply(Exchange& e, UINT message, const std::string& folder) {
  auto* into = reinterpret_cast<unsigned char*>(&e.reply);
  for (;;) {
    const ssize_t n = recv(e.fd, into + e.replyGot, sizeof e.reply - e.replyGot, MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (n <= 0) {
      Finish(e, "ended without an answer");
      // Most often it died: then its socket goes now rather than at the next copy's try.
      return bus::RemoveDeadSocket(folder, e.pid);
    }
    e.replyGot += static_cast<std::size_t>(n);
    if (e.replyGot < sizeof e.reply) continue;
    const std::string fault = bus::CheckReply(e.reply, e.sequence, message);
    if (!fault.empty()) return Finish(e, ("answer dropped: " + fault).c_str());
    e.result = static_cast<LRESULT>(e.reply.lParam);
    return Finish(e, nullptr);
  }
}

// Waits until every exchange has its answer or the deadline; on the GUI thread, whatever is sent to
// this copy meanwhile is handled, which is what lets a receiver's handler call back into us.
void AwaitReplies(std::vector<Exchange>& exchanges, UINT message, Clock::time_point deadline,
                  const std::string& folder) {
  const bool serveInbox = IsGuiThread();
  std::vector<pollfd> fds;
  for (;;) {
    if (serveInbox)
      while (bus::HandleOneSent()) {
      }
    fds.clear();
    std::vector<Exchange*> open;
    for (Exchange& e : exchanges) {
      if (e.finished) continue;
      open.push_back(&e);
      fds.push_back({e.fd, static_cast<short>(e.written < e.request.size() ? POLLIN | POLLOUT : POLLIN), 0});
    }
    if (open.empty()) return;
    if (serveInbox) fds.push_back({bus::InboxWakeFd(), POLLIN, 0});
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    // Even past the deadline one last look: an answer may have come while we handled a nested message.
    const int ready = poll(fds.data(), fds.size(), left < 0 ? 0 : static_cast<int>(left));
    if (ready < 0 && errno != EINTR) {
      Diag(DiagLevel::Error, "instance bus: poll: %s", std::strerror(errno));
      for (Exchange* e : open) Finish(*e, nullptr);
      return;
    }
    if (serveInbox && fds.back().revents != 0) bus::ClearInboxWake();
    for (std::size_t i = 0; i < open.size(); ++i) {
      Exchange& e = *open[i];
      if (fds[i].revents & POLLOUT && !Flush(e)) {
        Finish(e, "ended before it took the message");
        continue;
      }
      if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) ReadReply(e, message, folder);
    }
    if (left <= 0) {
      for (Exchange* e : open)
        if (!e->finished) Finish(*e, "gave no answer within the bound; given up");
      return;
    }
  }
}

const COPYDATASTRUCT* CheckedCopyData(UINT message, LPARAM lParam, bool* ok) {
  *ok = true;
  if (message != WM_COPYDATA) return nullptr;
  const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (record == nullptr || (record->cbData > 0 && record->lpData == nullptr)) {
    Diag(DiagLevel::Warning, "instance bus: copy data without a record or bytes: not sent");
    *ok = false;
  } else if (record->cbData > bus::kMaxPayload) {
    Diag(DiagLevel::Warning, "instance bus: copy data of %u bytes is over the %u-byte limit: not sent",
         record->cbData, bus::kMaxPayload);
    *ok = false;
  }
  return record;
}

LRESULT SendToOwnWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsGuiThread()) return DispatchToProc(message, wParam, lParam);
  return bus::SendToOwnWindowAndWait(message, wParam, lParam, kOwnWindowBoundMs);
}

// A send through the copies' sockets in folder: to one copy, or to all and this one.
LRESULT SendThrough(const std::string& folder, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool broadcast = hwnd == HWND_BROADCAST;
  bool ok;
  const COPYDATASTRUCT* copyData = CheckedCopyData(message, lParam, &ok);
  if (!ok) return 0;

  std::vector<std::uint32_t> pids;
  const std::vector<int> fds = Connect(folder, hwnd, &pids);
  std::vector<Exchange> exchanges;
  for (std::size_t i = 0; i < fds.size(); ++i) {
    Exchange e;
    e.pid = pids[i];
    e.fd = fds[i];
    e.sequence = ++g_sequence;
    e.request = Encode(bus::Kind::Send, message, wParam, lParam, e.sequence, copyData);
    if (!Flush(e)) Finish(e, "ended before it took the message");
    exchanges.push_back(std::move(e));
  }
  const auto deadline = Clock::now() + bounds::Bound(std::chrono::milliseconds(bus::kPeerBoundMs));
  // The others are at work on it already while we handle our own share.
  if (broadcast) SendToOwnWindow(message, wParam, lParam);
  AwaitReplies(exchanges, message, deadline, folder);
  return broadcast || exchanges.empty() ? 0 : exchanges.front().result;
}

}  // namespace

LRESULT SendAcrossCopies(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool broadcast = hwnd == HWND_BROADCAST;
  const std::string folder = bus::BusFolder();
  if (!bus::MayCrossCopies(message) || folder.empty()) {
    if (!bus::MayCrossCopies(message))
      Diag(DiagLevel::Warning, "instance bus: message 0x%x does not travel between copies", message);
    return broadcast ? (SendToOwnWindow(message, wParam, lParam), 0) : 0;
  }
  return SendThrough(folder, hwnd, message, wParam, lParam);
}

std::vector<HWND> RunningCopies() {
  const std::string folder = RuntimeFolder();
  std::vector<HWND> copies;
  if (folder.empty()) return copies;
  for (std::uint32_t pid : bus::ListPeers(folder))
    if (pid != OwnPid()) copies.push_back(static_cast<HWND>(pid));
  return copies;
}

LRESULT SendToRunningCopy(HWND copy, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::string folder = RuntimeFolder();
  if (folder.empty() || copy == HWND_BROADCAST || !bus::MayCrossCopies(message) || message == WM_COPYDATA)
    return 0;
  return SendThrough(folder, copy, message, wParam, lParam);
}

BOOL PostAcrossCopies(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool broadcast = hwnd == HWND_BROADCAST;
  if (broadcast) PostMessage(static_cast<HWND>(getpid()), message, wParam, lParam);
  const std::string folder = bus::BusFolder();
  if (folder.empty()) return broadcast ? TRUE : FALSE;
  // Copy data points into the sender's memory and never travels posted.
  if (!bus::MayCrossCopies(message) || message == WM_COPYDATA) {
    Diag(DiagLevel::Warning, "instance bus: message 0x%x cannot be posted to another copy", message);
    return broadcast ? TRUE : FALSE;
  }
  std::vector<std::uint32_t> pids;
  const std::vector<int> fds = Connect(folder, hwnd, &pids);
  BOOL delivered = broadcast || !fds.empty() ? TRUE : FALSE;
  for (std::size_t i = 0; i < fds.size(); ++i) {
    const std::vector<unsigned char> request =
        Encode(bus::Kind::Post, message, wParam, lParam, ++g_sequence, nullptr);
    // A fresh connection takes a header at once; one that does not is a copy that cannot take it.
    if (bus::WriteSome(fds[i], request.data(), request.size()) != static_cast<long>(request.size())) {
      Diag(DiagLevel::Warning, "instance bus: copy %u did not take a posted message", pids[i]);
      if (!broadcast) delivered = FALSE;
    }
    close(fds[i]);
  }
  return delivered;
}
