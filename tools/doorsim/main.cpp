// The simulator as a program: listens, prints its address, serves until SIGTERM or SIGINT.
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tools/doorsim/doorsim.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: doorsim --listen ADDR:PORT [--size WxH] [--fps N] [--title TEXT] [--flag 0|1|2]\n"
               "               [--sip-user USER] [--no-sip]\n"
               "  PORT 0 picks a free port; the first line of output is the address listened on.\n"
               "  The SIP side listens on UDP at the same address and port as sip:USER@ADDR:PORT.\n");
}

bool ToInt(std::string_view text, int& out) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseArgs(int argc, char** argv, doorsim::Options& o) {
  bool listen = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--no-sip") {
      o.sip = false;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string_view value = argv[++i];
    if (arg == "--listen") {
      const size_t colon = value.rfind(':');
      int port = 0;
      if (colon == std::string_view::npos || !ToInt(value.substr(colon + 1), port) || port < 0 ||
          port > 65535)
        return false;
      o.address = std::string(value.substr(0, colon));
      o.port = static_cast<uint16_t>(port);
      listen = true;
    } else if (arg == "--size") {
      const size_t x = value.find('x');
      if (x == std::string_view::npos || !ToInt(value.substr(0, x), o.width) ||
          !ToInt(value.substr(x + 1), o.height))
        return false;
    } else if (arg == "--fps") {
      if (!ToInt(value, o.fps)) return false;
    } else if (arg == "--title") {
      if (value.find_first_of("\r\n") != std::string_view::npos) return false;
      o.title = std::string(value);
    } else if (arg == "--sip-user") {
      if (value.empty() || value.find_first_of("@:;<>\" \r\n") != std::string_view::npos) return false;
      o.sipUser = std::string(value);
    } else if (arg == "--flag") {
      if (value != "0" && value != "1" && value != "2") return false;
      o.flag = value[0];
    } else {
      return false;
    }
  }
  return listen;
}

}  // namespace

int main(int argc, char** argv) {
  doorsim::Options options;
  if (!ParseArgs(argc, argv, options)) {
    Usage();
    return 2;
  }
  options.onEvent = [](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };

  // The signals are taken by sigwait below; every server thread inherits the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  doorsim::Server server(options);
  if (!server.Start()) {
    std::fprintf(stderr, "doorsim: %s\n", server.LastError().c_str());
    return 1;
  }
  std::printf("%s\n", server.Address().c_str());
  std::fflush(stdout);
  if (options.sip && !server.Sip().running) {
    std::fprintf(stderr, "doorsim: SIP side off: %s\n", server.Sip().error.c_str());
  }

  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.Stop();
  return 0;
}
