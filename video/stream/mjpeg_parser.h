// The picture stream's byte-driven state machine: part header, length, call flag, title, picture bytes.
#pragma once

#include <cstdint>

// The parser states, in the order a part passes through them.
enum mjpeg_state : int {
  WAIT_HEAD = 0,
  HEAD = 1,
  DELKA = 2,
  SKIP_CALL = 3,
  CALL = 4,
  SKIP_TITLE = 5,
  TITLE = 6,
  SKIP_CR = 7,
  JPGF = 8,
};

// The text that starts every part (42 bytes).
inline constexpr char HLAVICKA[] = "Content-Type: image/jpeg\r\nContent-Length: ";
inline constexpr int kHlavickaLength = sizeof HLAVICKA - 1;
// At most 9 length digits; a picture longer than this is not one the unit sends.
inline constexpr int kMaxPictureLength = 16 * 1024 * 1024;
// Title bytes kept; the rest of a longer title line is skipped.
inline constexpr int kMaxTitleBytes = 63;

// What the parser finds, in stream order.
class MjpegEvents {
 public:
  virtual ~MjpegEvents() = default;
  // The next bytes of the current picture.
  virtual void PictureBytes(const char* data, int len) = 0;
  // The call flag byte of a part, whatever its value.
  virtual void CallFlag(char flag) = 0;
  // The title line of a part (raw bytes, at most kMaxTitleBytes).
  virtual void TitleComplete(const char* title, int len) = 0;
  // The current picture has all its bytes. Returning false drops the rest of the block and
  // starts the hunt afresh with the next block (the stream was reopened).
  virtual bool PictureComplete() = 0;
  // The current part is given up (bad length, or picture data that does not start with 0xFF):
  // the bytes handed over for it are no picture.
  virtual void PartAbandoned() = 0;
};

class MjpegParser {
 public:
  MjpegParser() { Reset(); }
  // A new stream: the hunt for the first part header starts.
  void Reset();
  // Parses one block; events are called from inside.
  void Feed(const char* buffer, int BufferLen, MjpegEvents& events);

  mjpeg_state State() const { return state; }
  // Bytes of the current picture still to come.
  int Remaining() const { return delka; }

 private:
  void StartLength();
  bool EndLength(MjpegEvents& events);
  void Abandon(MjpegEvents& events);

  mjpeg_state state = HEAD;
  int head_index = 0;
  int delka = 0;
  char delkas[10] = {};
  int delka_pos = 0;
  int skip_call = 0;
  int skip_title = 0;
  int skip_cr = 0;
  char title[kMaxTitleBytes + 1] = {};
  int title_pos = 0;
};
