// Probe program: one copy on the instance bus with a scripted window procedure. It reads commands
// from stdin (send, post, copy data, the outgoing-call flow, a broadcast from another thread) and reports on
// stdout what it sends, what its window receives and what it gets back, one line each. Usage: bus_probe
// FOLDER [sip] [open] [slow]
//   sip:  acts as the copy that holds the SIP telephone in the call flow
//   open: lets other users reach its socket (only for the test of foreign users)
//   slow: its handler of code 30 takes 30 s, so that a test can end it in the middle of one
#include <sys/select.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/instance_bus.h"
#include "platform/gui/window.h"

namespace {

UINT g_message = 0;
bool g_sip = false;
bool g_slow = false;
char CallToDoorPhone[128] = "sip:door@127.0.0.2";

HWND Own() { return static_cast<HWND>(getpid()); }

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
  std::fflush(stdout);
}

unsigned char PatternByte(std::uintptr_t tag, std::size_t i) {
  return static_cast<unsigned char>(i * 7 + tag);
}

LRESULT CopyData(HWND sender, const COPYDATASTRUCT* record) {
  const auto* bytes = static_cast<const unsigned char*>(record->lpData);
  if (record->dwData == 6) {
    std::string text(reinterpret_cast<const char*>(bytes),
                     strnlen(reinterpret_cast<const char*>(bytes), record->cbData));
    Say("copy 6 %u %u %s", record->cbData, sender, text.c_str());
    // The SIP copy places the call and tells the asker it is in progress.
    if (g_sip) SendMessage(sender, g_message, 3, 1);
    return 1;
  }
  bool intact = record->cbData == 0 || bytes != nullptr;
  for (std::size_t i = 0; intact && i < record->cbData; ++i)
    intact = bytes[i] == PatternByte(record->dwData, i);
  Say("copy %lu %u %u %s", static_cast<unsigned long>(record->dwData), record->cbData, sender,
      intact ? "ok" : "bad");
  return static_cast<LRESULT>(record->cbData);
}

LRESULT ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA)
    return CopyData(static_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  if (message != g_message) return DefWindowProc(hwnd, message, wParam, lParam);
  Say("msg %lu %ld", static_cast<unsigned long>(wParam), static_cast<long>(lParam));
  switch (wParam) {
    case 3: Say("lin_call %ld", static_cast<long>(lParam)); break;
    case 5:
      if (g_sip) SendMessage(static_cast<HWND>(lParam), g_message, 6, Own());
      break;
    case 6: {
      COPYDATASTRUCT record{6, sizeof CallToDoorPhone, CallToDoorPhone};
      SendMessage(static_cast<HWND>(lParam), WM_COPYDATA, Own(), reinterpret_cast<LPARAM>(&record));
      break;
    }
    case 20: return lParam * 2 + 1;
    case 30:
      if (g_slow) {
        timeval wait{30, 0};
        select(0, nullptr, nullptr, nullptr, &wait);
      }
      break;
  }
  return 0;
}

long long Millis(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since)
      .count();
}

void Run(const std::string& line) {
  char verb[16] = "";
  long a = 0, b = 0, c = 0;
  const int n = std::sscanf(line.c_str(), "%15s %ld %ld %ld", verb, &a, &b, &c);
  const auto start = std::chrono::steady_clock::now();
  const std::string command = verb;
  if (command == "bsend" && n == 3) {
    SendMessage(HWND_BROADCAST, g_message, a, b);
    Say("done bsend %ld %lld ms", a, Millis(start));
  } else if (command == "tbsend" && n == 3) {
    // As the SIP thread does: a waiting broadcast from a thread that has no window.
    std::thread([a, b] {
      SendMessage(HWND_BROADCAST, g_message, a, b);
      QueueOnGuiThread([a] { Say("done tbsend %ld", a); });
    }).detach();
  } else if (command == "bpost" && n == 3) {
    Say("done bpost %ld %d", a, PostMessage(HWND_BROADCAST, g_message, a, b));
  } else if (command == "send" && n == 4) {
    Say("result %ld", static_cast<long>(SendMessage(static_cast<HWND>(a), g_message, b, c)));
  } else if (command == "copy" && n == 4) {
    std::vector<unsigned char> block(static_cast<std::size_t>(c));
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = PatternByte(static_cast<std::uintptr_t>(b), i);
    COPYDATASTRUCT record{static_cast<std::uintptr_t>(b), static_cast<DWORD>(c), block.data()};
    Say("result %ld", static_cast<long>(SendMessage(static_cast<HWND>(a), WM_COPYDATA, Own(),
                                                    reinterpret_cast<LPARAM>(&record))));
  } else if (command == "call") {
    // The call button: the target is filled in, then every copy is asked who holds the telephone.
    SendMessage(HWND_BROADCAST, g_message, 5, Own());
    Say("done call");
  } else if (command == "quit") {
    StopInstanceBus();
    PostQuitMessage(0);
  } else {
    Say("unknown %s", line.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "sip") == 0) g_sip = true;
    if (std::strcmp(argv[i], "slow") == 0) g_slow = true;
    if (std::strcmp(argv[i], "open") == 0) umask(0);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  InitPlatform(argc, argv);
  g_message = RegisterWindowMessage("bus probe");
  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ProbeProc;
  wc.lpszClassName = "BusProbe";
  if (!RegisterClassEx(&wc) || CreateWindowEx("BusProbe", "bus probe", 0, 0, 100, 100) != Own()) return 3;
  if (!StartInstanceBusIn(argv[1])) {
    Say("refused");
    return 1;
  }
  Say("ready %d", static_cast<int>(getpid()));
  // Commands are carried out on the GUI thread, like a click on the window; stdin's end ends us.
  std::thread reader([] {
    std::string line;
    while (std::getline(std::cin, line)) QueueOnGuiThread([line] { Run(line); });
    QueueOnGuiThread([] { Run("quit"); });
  });
  reader.detach();
  return RunMessageLoop();
}
