// The instance bus between real copies: bus_probe processes exchanging sends, posts and copy data.
#include "platform/gui/instance_bus.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>

#include "platform/core/bus_wire.h"
#include "platform/core/messages.h"
#include "platform/gui/window.h"
#include "tests/support/child_process.h"
#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"

#ifndef BUS_PROBE_PATH
#error "BUS_PROBE_PATH must name the bus_probe executable"
#endif

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;

constexpr auto kDeadline = 15s;

// One running copy and everything it has reported so far.
struct Copy {
  ChildProcess process;
  std::uint32_t pid = 0;
  std::vector<std::string> lines;

  // Reads until `line` has been reported (or was already); false at the deadline.
  bool Saw(const std::string& line) {
    if (std::find(lines.begin(), lines.end(), line) != lines.end()) return true;
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
      std::optional<std::string> next = process.ReadLine(200ms);
      if (!next) {
        if (process.OutputEnded()) return false;
        continue;
      }
      lines.push_back(*next);
      if (*next == line) return true;
    }
    return false;
  }
  // The first reported line that starts with prefix, reading on until one comes.
  std::string Next(const std::string& prefix) {
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    std::size_t looked = 0;
    for (;;) {
      for (; looked < lines.size(); ++looked)
        if (lines[looked].rfind(prefix, 0) == 0) {
          std::string found = lines[looked];
          lines.erase(lines.begin() + static_cast<long>(looked));
          return found;
        }
      if (std::chrono::steady_clock::now() >= deadline) return "";
      if (std::optional<std::string> next = process.ReadLine(200ms))
        lines.push_back(*next);
      else if (process.OutputEnded())
        return "";
    }
  }
  bool Has(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  void Do(const std::string& command) { ASSERT_TRUE(process.Write(command + "\n")); }
  std::string Id() const { return std::to_string(pid); }
};

class InstanceBusTest : public ::testing::Test {
 protected:
  Copy& Start(std::vector<std::string> options = {}, bool asNobody = false) {
    Copy& copy = copies_.emplace_back();
    options.insert(options.begin(), folder_.path());
    bool started;
    if (asNobody) {
      options.insert(options.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", BUS_PROBE_PATH});
      started = copy.process.Start("/usr/bin/setpriv", options);
    } else {
      started = copy.process.Start(BUS_PROBE_PATH, options);
    }
    EXPECT_TRUE(started) << copy.process.LastError();
    const std::string ready = copy.Next("ready ");
    EXPECT_FALSE(ready.empty()) << "copy did not come up";
    if (!ready.empty()) copy.pid = static_cast<std::uint32_t>(std::stoul(ready.substr(6)));
    return copy;
  }
  bool SocketExists(const Copy& copy) const {
    return std::filesystem::exists(folder_ / ("bus-" + copy.Id() + ".sock"));
  }

  test_support::TempFolder folder_;
  std::deque<Copy> copies_;  // declared after the folder: the copies end before it goes
};

TEST_F(InstanceBusTest, BroadcastsReachEveryCopyIncludingTheSender) {
  Copy& a = Start();
  Copy& b = Start();
  Copy& c = Start();
  a.Do("bsend 7 42");
  ASSERT_FALSE(a.Next("done bsend 7").empty());
  EXPECT_TRUE(a.Has("msg 7 42"));
  // A waiting broadcast returns only after every copy has handled it.
  EXPECT_TRUE(b.Saw("msg 7 42"));
  EXPECT_TRUE(c.Saw("msg 7 42"));

  // From a thread without a window, as the SIP thread sends: its own copy's share included.
  c.Do("tbsend 9 0");
  ASSERT_EQ(c.Next("done tbsend"), "done tbsend 9");
  EXPECT_TRUE(c.Has("msg 9 0"));
  EXPECT_TRUE(a.Saw("msg 9 0"));
  EXPECT_TRUE(b.Saw("msg 9 0"));

  b.Do("bpost 8 43");
  EXPECT_EQ(b.Next("done bpost"), "done bpost 8 1");
  for (Copy* copy : {&a, &b, &c}) EXPECT_TRUE(copy->Saw("msg 8 43")) << copy->pid;
}

TEST_F(InstanceBusTest, DirectedSendsReturnTheResultAndCopyDataArrivesWhole) {
  Copy& a = Start();
  Copy& b = Start();
  a.Do("send " + b.Id() + " 20 5");
  EXPECT_EQ(a.Next("result"), "result 11");
  EXPECT_TRUE(b.Saw("msg 20 5"));
  EXPECT_FALSE(a.Has("msg 20 5"));

  a.Do("copy " + b.Id() + " 9 128");
  EXPECT_EQ(a.Next("result"), "result 128");
  EXPECT_TRUE(b.Saw("copy 9 128 " + a.Id() + " ok"));
  a.Do("copy " + b.Id() + " 4 0");
  EXPECT_EQ(a.Next("result"), "result 0");
  EXPECT_TRUE(b.Saw("copy 4 0 " + a.Id() + " ok"));
  a.Do("copy " + b.Id() + " 3 65536");
  EXPECT_EQ(a.Next("result"), "result 65536");
  EXPECT_TRUE(b.Saw("copy 3 65536 " + a.Id() + " ok"));

  // One byte over the limit is refused by the sender; the receiver hears nothing of it.
  a.Do("copy " + b.Id() + " 5 65537");
  EXPECT_EQ(a.Next("result"), "result 0");
  a.Do("send " + b.Id() + " 20 1");
  EXPECT_EQ(a.Next("result"), "result 3");
  ASSERT_TRUE(b.Saw("msg 20 1"));
  EXPECT_TRUE(std::none_of(b.lines.begin(), b.lines.end(),
                           [](const std::string& l) { return l.rfind("copy 5", 0) == 0; }));

  // A handle that names no copy gets nothing and costs nothing.
  a.Do("send 999999 20 1");
  EXPECT_EQ(a.Next("result"), "result 0");
}

TEST_F(InstanceBusTest, OutgoingCallFlowCallsBackIntoTheWaitingSender) {
  Copy& sip = Start({"sip"});
  Copy& x = Start();
  Copy& y = Start();
  Copy& z = Start();
  // x broadcasts 5 and waits; the SIP copy sends 6 back to x, which sends it copy data while both
  // wait, and the SIP copy answers with 3 before any of these calls return.
  x.Do("call");
  ASSERT_EQ(x.Next("done call"), "done call");
  EXPECT_TRUE(x.Has("msg 6 " + sip.Id()));
  EXPECT_TRUE(x.Has("lin_call 1"));
  EXPECT_TRUE(sip.Saw("copy 6 128 " + x.Id() + " sip:door@127.0.0.2"));
  for (Copy* other : {&y, &z}) {
    EXPECT_TRUE(other->Saw("msg 5 " + x.Id()));
    EXPECT_FALSE(other->Has("lin_call 1"));
  }
  // Two askers at once: each flow completes.
  y.Do("call");
  z.Do("call");
  EXPECT_EQ(y.Next("done call"), "done call");
  EXPECT_EQ(z.Next("done call"), "done call");
  EXPECT_TRUE(y.Saw("lin_call 1"));
  EXPECT_TRUE(z.Saw("lin_call 1"));
}

TEST_F(InstanceBusTest, ACopyKilledDuringABroadcastCostsTheOthersNothingAndLosesItsSocket) {
  Copy& a = Start();
  Copy& b = Start();
  Copy& doomed = Start({"slow"});
  a.Do("bsend 30 0");
  ASSERT_TRUE(doomed.Saw("msg 30 0"));  // it is inside its handler now, and a waits for it
  ASSERT_TRUE(doomed.process.Signal(SIGKILL));
  EXPECT_FALSE(a.Next("done bsend 30").empty());
  EXPECT_TRUE(b.Saw("msg 30 0"));

  // Its socket is gone once a copy has found it dead: the broadcast it died in, or the next one.
  ASSERT_TRUE(doomed.process.Wait(kDeadline).has_value());
  b.Do("bsend 31 0");
  EXPECT_FALSE(b.Next("done bsend 31").empty());
  EXPECT_TRUE(a.Saw("msg 31 0"));
  EXPECT_FALSE(SocketExists(doomed));
}

TEST_F(InstanceBusTest, AHungCopyDelaysABroadcastOnlyByTheBoundAndCatchesUpLater) {
  Copy& a = Start();
  Copy& b = Start();
  Copy& hung = Start();
  ASSERT_TRUE(hung.process.Signal(SIGSTOP));
  a.Do("bsend 32 0");
  const std::string done = a.Next("done bsend 32");
  EXPECT_FALSE(done.empty());
  std::printf("broadcast with one stopped copy: %s\n", done.c_str());
  EXPECT_TRUE(b.Saw("msg 32 0"));
  EXPECT_TRUE(SocketExists(hung));  // hung is not dead

  ASSERT_TRUE(hung.process.Signal(SIGCONT));
  EXPECT_TRUE(hung.Saw("msg 32 0"));
  a.Do("send " + hung.Id() + " 20 1");
  EXPECT_EQ(a.Next("result"), "result 3");
}

TEST_F(InstanceBusTest, CopiesOfAnotherUserAreNeitherHeardNorTold) {
  // Only a test folder open to everyone lets another user reach our sockets at all.
  ASSERT_EQ(chmod(folder_.path().c_str(), 0777), 0);
  Copy& a = Start({"open"});
  Copy& b = Start();
  Copy& stranger = Start({"open"}, true);
  ASSERT_NE(stranger.pid, 0u);

  stranger.Do("bsend 33 0");
  EXPECT_FALSE(stranger.Next("done bsend 33").empty());
  EXPECT_TRUE(stranger.Has("msg 33 0"));
  a.Do("bsend 34 0");
  EXPECT_FALSE(a.Next("done bsend 34").empty());
  EXPECT_TRUE(b.Saw("msg 34 0"));
  // A marker sent after each: whatever had been taken before it would have been handled first.
  b.Do("send " + a.Id() + " 20 2");
  EXPECT_EQ(b.Next("result"), "result 5");
  ASSERT_TRUE(a.Saw("msg 20 2"));
  EXPECT_FALSE(a.Has("msg 33 0"));
  EXPECT_FALSE(b.Has("msg 33 0"));
  stranger.Do("send " + stranger.Id() + " 20 3");
  EXPECT_EQ(stranger.Next("result"), "result 7");
  EXPECT_FALSE(stranger.Has("msg 34 0"));
}

// A raw connection to a copy's socket, as a misbehaving program would open it.
int RawConnect(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void WriteAll(int fd, const void* data, std::size_t length) {
  ASSERT_EQ(send(fd, data, length, MSG_NOSIGNAL), static_cast<ssize_t>(length));
}

TEST_F(InstanceBusTest, MalformedMessagesAreDroppedAndTheCopyGoesOn) {
  Copy& a = Start();
  Copy& b = Start();
  const std::string path = (folder_ / ("bus-" + a.Id() + ".sock"));
  const UINT code = RegisterWindowMessage("bus probe");
  auto request = [&](bus::Kind kind, UINT message) {
    bus::Header h = bus::MakeHeader(kind, message, 20, 8);
    h.sender = static_cast<std::uint32_t>(getpid());
    return h;
  };
  std::vector<bus::Header> bad;
  bad.push_back(request(bus::Kind::Send, code));
  bad.back().magic = 0x12345678;
  bad.push_back(request(bus::Kind::Send, code));
  bad.back().version = 9;
  bad.push_back(request(static_cast<bus::Kind>(7), code));
  bad.push_back(request(bus::Kind::Reply, code));
  bad.push_back(request(bus::Kind::Send, WM_GETMINMAXINFO));  // its lParam would be taken for a pointer
  bad.push_back(request(bus::Kind::Send, code));
  bad.back().sender = 1;
  bad.push_back(request(bus::Kind::Send, WM_COPYDATA));
  bad.back().payloadLength = bus::kMaxPayload + 1;
  bad.push_back(request(bus::Kind::Post, WM_COPYDATA));
  bad.push_back(request(bus::Kind::Send, code));
  bad.back().payloadLength = 4;  // bytes a plain message cannot carry
  for (const bus::Header& h : bad) {
    const int fd = RawConnect(path);
    ASSERT_GE(fd, 0);
    WriteAll(fd, &h, sizeof h);
    char reply;
    EXPECT_EQ(recv(fd, &reply, 1, 0), 0) << "the copy answered a bad message instead of hanging up";
    close(fd);
  }
  // Cut short, and stalled half-way while others talk to the copy.
  const bus::Header good = request(bus::Kind::Send, code);
  const int cut = RawConnect(path);
  WriteAll(cut, &good, 20);
  close(cut);
  const int stalled = RawConnect(path);
  WriteAll(stalled, &good, 20);
  b.Do("send " + a.Id() + " 20 4");
  EXPECT_EQ(b.Next("result"), "result 9");

  // The same header sent whole is answered with the window procedure's result.
  const int fd = RawConnect(path);
  WriteAll(fd, &good, sizeof good);
  bus::Header reply{};
  ASSERT_EQ(recv(fd, &reply, sizeof reply, MSG_WAITALL), static_cast<ssize_t>(sizeof reply));
  EXPECT_EQ(bus::CheckReply(reply, good.sequence, code), "");
  EXPECT_EQ(reply.lParam, 17);
  close(fd);
  close(stalled);
  EXPECT_TRUE(a.Saw("msg 20 8"));
  EXPECT_EQ(std::count(a.lines.begin(), a.lines.end(), "msg 20 8"), 1);
}

TEST_F(InstanceBusTest, ACopyThatEndsTakesItsSocketAlong) {
  Copy& a = Start();
  EXPECT_TRUE(SocketExists(a));
  a.process.CloseStdin();
  auto exit = a.process.Wait(kDeadline);
  ASSERT_TRUE(exit.has_value());
  EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  EXPECT_FALSE(SocketExists(a));
}

TEST(InstanceBusStart, ASocketNameTooLongForTheSystemIsRefused) {
  test_support::TempFolder folder;
  const std::string deep = folder.path() + "/" + std::string(110, 'k');
  ASSERT_TRUE(std::filesystem::create_directory(deep));
  EXPECT_FALSE(StartInstanceBusIn(deep));
  EXPECT_FALSE(InstanceBusRunning());
}

}  // namespace
