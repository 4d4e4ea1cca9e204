// Probe program: takes an instance number like a starting copy and holds it until its stdin closes.
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/instance_number.h"
#include "state/program.h"

int main() {
  if (!FindInstanceNumber()) {
    std::printf("refused\n");
    std::fflush(stdout);
    return 1;
  }
  std::printf("instance %d %s\n", PocSpusteni, AppName);
  std::fflush(stdout);
  // The test ends us by closing our stdin; if the test dies, the pipe closes with it.
  char discard[256];
  for (;;) {
    ssize_t n = read(STDIN_FILENO, discard, sizeof discard);
    if (n == 0 || (n < 0 && errno != EINTR)) break;
  }
  return 0;
}
