// One connection: the request, then the picture stream, the relay script or the control interface.
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "tools/doorsim/part_layout.h"
#include "tools/doorsim/server_impl.h"
#include "tools/doorsim/socket_io.h"

namespace doorsim {
namespace {

constexpr size_t kRequestLimit = 8192;

std::string StreamHead(bool chunked) {
  std::string head = chunked ? "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n" : "HTTP/1.0 200 OK\r\n";
  head += "Content-Type: multipart/x-mixed-replace; boundary=";
  head += kBoundary;
  head += "\r\nCache-Control: no-cache\r\nPragma: no-cache\r\nConnection: close\r\n\r\n";
  return head;
}

std::string ErrorPage(int status) {
  // The page mentions the header words, so a reader hunting for parts meets near-matches.
  const std::string body =
      "<html><body><h1>" + std::to_string(status) +
      "</h1><p>Content-Type: image/jpeg is not available. Camera offline.</p></body></html>\n";
  return TextResponse(status, "text/html", body);
}

// Wraps `data` into chunks of random sizes, so chunk edges fall anywhere in a part.
std::string Chunk(std::string_view data, std::mt19937_64& rng) {
  std::string out;
  while (!data.empty()) {
    const size_t n = std::min(data.size(), static_cast<size_t>(1 + rng() % 1500));
    char size[20];
    std::snprintf(size, sizeof size, "%zx\r\n", n);
    out += size;
    out += data.substr(0, n);
    out += "\r\n";
    data.remove_prefix(n);
  }
  return out;
}

std::string Json(std::initializer_list<std::pair<const char*, uint64_t>> items) {
  std::string out = "{";
  for (const auto& [key, value] : items) {
    if (out.size() > 1) out += ",";
    out += "\"";
    out += key;
    out += "\":" + std::to_string(value);
  }
  return out + "}";
}

class StreamCount {
 public:
  explicit StreamCount(std::atomic<int>& n) : n_(n) { ++n_; }
  ~StreamCount() { --n_; }
  StreamCount(const StreamCount&) = delete;
  StreamCount& operator=(const StreamCount&) = delete;

 private:
  std::atomic<int>& n_;
};

}  // namespace

void Server::Impl::Serve(Connection* c) {
  const int fd = c->fd;
  SetTimeouts(fd, 5, 10);
  std::string head;
  if (ReadRequestHead(fd, head, kRequestLimit)) {
    const std::optional<Request> req = ParseRequest(head);
    if (!req) {
      SendAll(fd, TextResponse(400, "text/plain", "bad request\n"));
    } else {
      Fault now;
      {
        std::lock_guard lock(mu);
        userAgent = req->userAgent;
        now = fault;
      }
      if (req->path.starts_with("/sim/")) {
        Control(fd, *req);
      } else if (now.mode == FaultMode::Refuse) {
        SetResetOnClose(fd);
      } else if (req->method != "GET" && req->method != "HEAD") {
        SendAll(fd, TextResponse(405, "text/plain", "only GET\n"));
      } else if (req->path == "/video.mjpg") {
        Stream(fd);
      } else if (req->path == "/cgi-bin/remctrl.sh") {
        Relay(fd, *req);
      } else {
        SendAll(fd, TextResponse(404, "text/plain", "not found\n"));
      }
    }
  }
  std::lock_guard lock(clientsMu);
  close(c->fd);
  c->fd = -1;
  c->done = true;
}

void Server::Impl::Stream(int fd) {
  Fault f;
  uint64_t generation;
  uint64_t lastSeq;
  {
    std::lock_guard lock(mu);
    f = fault;
    generation = faultGeneration;
    lastSeq = latest.seq;
  }
  if (f.mode == FaultMode::ErrorPage) {
    SendAll(fd, ErrorPage(f.status));
    return;
  }
  ++accepted;
  StreamCount count(streams);
  const bool chunked = f.mode == FaultMode::Chunked;
  if (!SendAll(fd, StreamHead(chunked))) return;
  std::mt19937_64 rng(++seeds * 0x9E3779B97F4A7C15ULL);
  int sinceFault = 0;
  for (;;) {
    Frame frame;
    {
      std::unique_lock lock(mu);
      // The time-out lets a stalled connection notice that its client went away.
      cv.wait_for(lock, std::chrono::milliseconds(200), [&] {
        return stopping || faultGeneration != generation ||
               (f.mode != FaultMode::Stall && latest.seq > lastSeq);
      });
      if (stopping) return;
      if (faultGeneration != generation) {
        f = fault;
        generation = faultGeneration;
        sinceFault = 0;
      }
      if (f.mode == FaultMode::Refuse) {
        SetResetOnClose(fd);
        return;
      }
      if (f.mode == FaultMode::Close && sinceFault >= f.after) break;
      if (f.mode != FaultMode::Stall && latest.seq > lastSeq) {
        frame = latest;
        lastSeq = latest.seq;
      }
    }
    if (!frame.jpeg) {
      if (PeerGone(fd)) return;
      continue;
    }
    if (!SendPart(fd, frame, f, chunked, rng)) return;
    ++pictures;
    ++sinceFault;
  }
  if (chunked) SendAll(fd, "0\r\n\r\n");
  shutdown(fd, SHUT_WR);
}

bool Server::Impl::SendPart(int fd, const Frame& frame, const Fault& f, bool chunked, std::mt19937_64& rng) {
  const PartPieces p = LayoutPart(*frame.jpeg, frame.flag, frame.title, f, rng);
  if (chunked) {
    std::string whole = p.lead + p.literal + p.digits + p.rest;
    whole.append(reinterpret_cast<const char*>(p.picture.data()), p.picture.size());
    whole += p.tail;
    return SendAll(fd, Chunk(whole, rng));
  }
  if (f.mode == FaultMode::Split) {
    // Small segments with pauses between them, so a reader gets the header in several reads.
    SetNoDelay(fd);
    if (!SendAll(fd, p.lead) || !PauseFor(f.pause)) return false;
    static constexpr size_t kCuts[] = {1, 6, 2, 11, 3, 9, 1, 5, 4};
    std::string_view literal = p.literal;
    for (size_t i = 0; !literal.empty(); ++i) {
      const size_t n = std::min(literal.size(), kCuts[i % std::size(kCuts)]);
      if (!SendAll(fd, literal.substr(0, n)) || !PauseFor(f.pause)) return false;
      literal.remove_prefix(n);
    }
    for (char d : p.digits) {
      if (!SendAll(fd, std::string_view(&d, 1)) || !PauseFor(f.pause)) return false;
    }
    return SendAll(fd, {Bytes(p.rest), p.picture, Bytes(p.tail)});
  }
  const std::string head = p.lead + p.literal + p.digits + p.rest;
  return SendAll(fd, {Bytes(head), p.picture, Bytes(p.tail)});
}

void Server::Impl::Relay(int fd, const Request& req) {
  const QueryParams params = ParseQuery(req.query);
  const std::string* id = params.Find("id");
  int relay = 0;
  if (id && *id == "relay1") relay = 1;
  if (id && *id == "relay2") relay = 2;
  if (relay == 0) {
    SendAll(fd, TextResponse(404, "text/plain", "unknown relay\n"));
    return;
  }
  ++relays[relay - 1];
  const std::string line = "relay " + std::to_string(relay);
  Event(line);
  SendAll(fd, TextResponse(200, "text/plain", line + " switched\n"));
}

void Server::Impl::Control(int fd, const Request& req) {
  const QueryParams params = ParseQuery(req.query);
  auto ok = [&] { SendAll(fd, TextResponse(200, "text/plain", "ok\n")); };
  auto bad = [&](std::string_view why) {
    SendAll(fd, TextResponse(400, "text/plain", std::string(why) + "\n"));
  };

  if (req.path == "/sim/flag") {
    const std::string* value = params.Find("value");
    if (!value || value->size() != 1 || (*value)[0] == '\r' || (*value)[0] == '\n')
      return bad("value: one byte");
    std::lock_guard lock(mu);
    flag = (*value)[0];
  } else if (req.path == "/sim/title") {
    const std::string* text = params.Find("text");
    // CR or LF would end the title line early and shift the rest of the part header.
    if (!text || text->size() > 1024 || text->find_first_of("\r\n") != std::string::npos) {
      return bad("text: up to 1024 bytes, no CR or LF");
    }
    std::lock_guard lock(mu);
    title = *text;
  } else if (req.path == "/sim/fault") {
    const std::optional<Fault> parsed = ParseFault(req.query);
    if (!parsed) return bad("unknown fault mode or bad parameter");
    std::lock_guard lock(mu);
    fault = *parsed;
    ++faultGeneration;
    cv.notify_all();
  } else if (req.path == "/sim/relays") {
    SendAll(fd, TextResponse(200, "application/json",
                             Json({{"relay1", static_cast<uint64_t>(relays[0].load())},
                                   {"relay2", static_cast<uint64_t>(relays[1].load())}})));
    return;
  } else if (req.path.starts_with("/sim/sip")) {
    SipControl(fd, req);
    return;
  } else if (req.path == "/sim/stats") {
    SendAll(fd, TextResponse(200, "application/json",
                             Json({{"pictures", pictures.load()},
                                   {"streams", static_cast<uint64_t>(streams.load())},
                                   {"accepted", accepted.load()}})));
    return;
  } else {
    SendAll(fd, TextResponse(404, "text/plain", "not found\n"));
    return;
  }
  ok();
}

}  // namespace doorsim
