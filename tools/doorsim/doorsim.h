// Door unit simulator: the picture stream, the relay script and a control interface, on one HTTP server.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace doorsim {

// The header every picture part starts with; the reader matches it byte by byte.
inline constexpr std::string_view kHeaderLiteral = "Content-Type: image/jpeg\r\nContent-Length: ";
// The multipart boundary. It holds no 'C', so the boundary lines never start a header match.
inline constexpr std::string_view kBoundary = "doorsimframe";

// Ways the simulated unit misbehaves, for testing how a client copes.
enum class FaultMode {
  None,
  Close,      // close each stream connection (FIN) after `after` pictures
  Stall,      // keep the connection open and send nothing
  Garbage,    // random bytes, stray 'C's and partial header literals between parts
  Split,      // header literal and length digits in separate small writes, `pause` ms apart
  ShortLen,   // the length field `by` bytes smaller than the picture
  LongLen,    // the length field `by` bytes larger than the picture
  HugeLen,    // a length field of `digits` nines (10 or more digits)
  NoDigit,    // a length field with no digit at all
  NotFF,      // the first picture byte is 0x00 instead of 0xFF
  LongTitle,  // a title of `length` bytes (more than 63)
  CtrlTitle,  // a title holding control bytes (never CR or LF)
  ErrorPage,  // an HTTP error page (`status` 404 or 500) with no parts
  Chunked,    // HTTP/1.1 chunked transfer encoding, chunk edges anywhere inside the parts
  Refuse,     // every connection except the control interface is reset at once
};

struct Fault {
  FaultMode mode = FaultMode::None;
  int after = 5;     // Close: pictures per connection, 0 or more
  int by = 100;      // ShortLen, LongLen: bytes off, 1 or more
  int digits = 12;   // HugeLen: 10 to 30
  int length = 100;  // LongTitle: 64 to 4096
  int status = 404;  // ErrorPage: 404 or 500
  int pause = 3;     // Split: milliseconds between the small writes, 0 to 1000
};

// The fault's name as the control interface spells it ("none", "close", "shortlen", ...).
std::string_view FaultName(FaultMode mode);
// Parses a control query such as "mode=close&after=3"; nullopt for an unknown mode or a bad value.
std::optional<Fault> ParseFault(std::string_view query);

// A test picture: a moving ball over a shifting background, the frame number, the clock text
// and the title drawn in, JPEG-encoded. Empty when the size is out of range (16 to 8192) or
// the encoder fails.
std::vector<uint8_t> EncodePicture(int width, int height, uint64_t frame, std::string_view title,
                                   std::string_view clock = {});

// One part of the picture stream as the unit sends it: boundary line, header with length, call
// flag and title, the picture, CR LF. Faults that change the bytes of a part (Garbage, ShortLen,
// LongLen, HugeLen, NoDigit, NotFF, LongTitle, CtrlTitle) are applied; the others do not
// change a part. `seed` makes the garbage repeatable.
std::string BuildPart(std::span<const uint8_t> jpeg, char flag, std::string_view title,
                      const Fault& fault = {}, uint64_t seed = 0);

// How the unit's SIP side answers incoming calls.
enum class SipAnswer {
  Auto,   // accept at once
  Busy,   // refuse with 486 Busy Here
  Never,  // let it ring until the caller gives up
};
std::string_view SipAnswerName(SipAnswer mode);
std::optional<SipAnswer> ParseSipAnswer(std::string_view name);

// What the unit's SIP side has seen, as the control interface reports it.
struct SipStatus {
  bool running = false;       // the user agent is up
  std::string error;          // why it is not, when it was asked for
  std::string state = "off";  // "off", "idle", "incoming", "calling", "connected"
  std::string remote;         // the last call's remote address as the SIP library writes it
  std::string lastEnd;        // why the last call ended ("Call ended", "Busy Here", ...)
  int received = 0;           // calls that came in
  int placed = 0;             // calls made
  int connected = 0;          // calls that reached the connected state, either way
  int ended = 0;              // calls that ended or failed
  uint64_t rtpPackets = 0;    // RTP packets received in the current or last call
  SipAnswer answer = SipAnswer::Auto;
};

struct Options {
  std::string address = "127.0.0.1";  // IPv4 address to listen on
  uint16_t port = 0;                  // 0: a free port
  int width = 640;
  int height = 480;
  int fps = 25;  // 1 to 100
  std::string title = "Front door";
  char flag = '0';
  int maxClients = 64;  // connections served at once; more are reset
  // A SIP user agent on UDP at the same address and port number as the HTTP server.
  bool sip = true;
  std::string sipUser = "door";
  // Called for events worth a line of output ("relay 1"), one call at a time, from server threads.
  std::function<void(std::string_view line)> onEvent;
};

// The running simulator. All members may be called from any thread.
class Server {
 public:
  explicit Server(Options options = {});
  ~Server();  // stops
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds, listens and starts the threads; false (with LastError()) when it cannot. A SIP side
  // that cannot start (its UDP port taken) leaves the HTTP side serving: see Sip().error.
  bool Start();
  // Closes every connection and joins every thread. Safe to call twice.
  void Stop();

  const std::string& LastError() const;
  uint16_t Port() const;
  std::string Address() const;  // "ADDR:PORT"

  void SetFlag(char flag);
  void SetTitle(std::string title);
  void SetFault(const Fault& fault);
  Fault CurrentFault() const;

  int RelayCount(int relay) const;    // GETs of the relay script for relay 1 or 2
  uint64_t PicturesSent() const;      // parts sent, over all connections
  int OpenStreams() const;            // picture stream connections open now
  uint64_t StreamsAccepted() const;   // picture stream requests answered so far
  std::string LastUserAgent() const;  // User-Agent of the last request, empty if none

  // Calls `uri` ("sip:user@host:port"); false with `error` set when the call cannot be placed.
  bool SipCall(std::string_view uri, std::string* error = nullptr);
  // Ends every call, ringing ones included; false when there was none.
  bool SipHangup();
  void SetSipAnswer(SipAnswer mode);
  SipStatus Sip() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace doorsim
