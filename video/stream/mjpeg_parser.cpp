// The picture stream's byte-driven state machine: part header, length, call flag, title, picture bytes.
#include "video/stream/mjpeg_parser.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes the unit puts between the length digits and the call flag: CR LF and a label of its own.
constexpr int kSkipCall = 16;
// Bytes between the call flag and the title: CR LF and a label.
constexpr int kSkipTitle = 9;
// Bytes from the end of the title line to the picture: CR LF CR LF.
constexpr int kSkipCr = 4;
constexpr int kMaxDigits = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first CR or LF in [from, end), or end.
const char* FindLineEnd(const char* from, const char* end) {
  for (const char* p = from; p < end; ++p)
    if (*p == '\r' || *p == '\n') return p;
  return end;
}

}  // namespace

void MjpegParser::Reset() {
  // Starting in HEAD at index 0 hunts exactly like WAIT_HEAD.
  state = HEAD;
  head_index = 0;
  delka = 0;
  delka_pos = 0;
  title_pos = 0;
}

void MjpegParser::StartLength() {
  std::memset(delkas, ' ', sizeof delkas);
  delka_pos = 0;
  delka = 0;
}

void MjpegParser::Abandon(MjpegEvents& events) {
  state = WAIT_HEAD;
  delka = 0;
  events.PartAbandoned();
}

void MjpegParser::Feed(const char* buffer, int BufferLen, MjpegEvents& events) {
  if (buffer == nullptr || BufferLen <= 0) return;
  int n = 0;
  while (n < BufferLen) {
    const int left = BufferLen - n;
    switch (state) {
      case WAIT_HEAD: {
        const void* found = std::memchr(buffer + n, HLAVICKA[0], static_cast<std::size_t>(left));
        if (found == nullptr) {
          n = BufferLen;
          break;
        }
        n = static_cast<int>(static_cast<const char*>(found) - buffer) + 1;
        head_index = 1;
        state = HEAD;
        break;
      }
      case HEAD:
        while (n < BufferLen && head_index < kHlavickaLength && buffer[n] == HLAVICKA[head_index]) {
          ++n;
          ++head_index;
        }
        if (head_index == kHlavickaLength) {
          head_index = 0;
          StartLength();
          state = DELKA;
        } else if (n < BufferLen) {
          state = WAIT_HEAD;  // the hunt restarts at the differing byte
        }
        break;
      case DELKA:
        while (n < BufferLen && IsDigit(buffer[n])) {
          const int value = delka * 10 + (buffer[n] - '0');
          if (delka_pos == kMaxDigits || value > kMaxPictureLength) {
            Abandon(events);  // the hunt goes on from this digit
            break;
          }
          delkas[delka_pos++] = buffer[n++];
          delka = value;
        }
        if (state == DELKA && n < BufferLen) {
          delkas[delka_pos] = '\0';
          skip_call = kSkipCall;
          state = SKIP_CALL;
        }
        break;
      case SKIP_CALL: {
        const int k = std::min(skip_call, left);
        n += k;
        skip_call -= k;
        if (skip_call == 0) state = CALL;
        break;
      }
      case CALL:
        events.CallFlag(buffer[n]);
        ++n;
        skip_title = kSkipTitle;
        state = SKIP_TITLE;
        break;
      case SKIP_TITLE: {
        const int k = std::min(skip_title, left);
        n += k;
        skip_title -= k;
        if (skip_title == 0) {
          title_pos = 0;
          state = TITLE;
        }
        break;
      }
      case TITLE: {
        const char* end = FindLineEnd(buffer + n, buffer + BufferLen);
        const int len = static_cast<int>(end - (buffer + n));
        const int kept = std::min(len, kMaxTitleBytes - title_pos);
        if (kept > 0) {
          std::memcpy(title + title_pos, buffer + n, static_cast<std::size_t>(kept));
          title_pos += kept;
        }
        n += len;  // bytes past the kept ones are skipped with the rest of the line
        if (n < BufferLen) {
          title[title_pos] = '\0';
          skip_cr = kSkipCr;
          state = SKIP_CR;
          events.TitleComplete(title, title_pos);
        }
        break;
      }
      case SKIP_CR: {
        const int k = std::min(skip_cr, left);
        n += k;
        skip_cr -= k;
        if (skip_cr > 0) break;
        if (delka == 0) {
          state = WAIT_HEAD;
          if (!events.PictureComplete()) {
            Reset();
            return;
          }
        } else if (n < BufferLen) {
          // The display needs one JPEG picture from the file's first byte.
          if (static_cast<unsigned char>(buffer[n]) == 0xFF)
            state = JPGF;
          else
            Abandon(events);
        }
        break;
      }
      case JPGF: {
        const int k = std::min(delka, left);
        events.PictureBytes(buffer + n, k);
        n += k;
        delka -= k;
        if (delka == 0) {
          state = WAIT_HEAD;
          if (!events.PictureComplete()) {
            Reset();
            return;
          }
        }
        break;
      }
    }
  }
}
