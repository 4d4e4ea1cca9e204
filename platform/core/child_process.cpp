// Starting a program along PATH with posix_spawnp and ending it with a bounded wait.
#include "platform/core/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/core/bounds.h"

extern char** environ;

namespace {

// Long enough for a program to close its windows and save its state, short enough for shutdown.
constexpr auto kTermBound = std::chrono::seconds(1);
constexpr auto kPollStep = std::chrono::milliseconds(5);

// Reaps the child if it has ended. True when it is gone: reaped now, or no longer ours to wait for
// (ECHILD: someone else reaped it, or SIGCHLD is ignored and the kernel did).
bool ReapedNow(pid_t pid) {
  int status = 0;
  for (;;) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return true;
    if (r == 0) return false;
    if (errno != EINTR) return true;
  }
}

}  // namespace

int StartProgram(const std::string& name, const std::vector<std::string>& args, ChildProgram* child) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(name.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  // Descriptors this process holds (sockets, the instance bus, locks) are not the child's business.
  posix_spawn_file_actions_t actions;
  int error = posix_spawn_file_actions_init(&actions);
  if (error != 0) return error;
  error = posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  // The toolkit's and the telephone's threads may block or ignore signals; the child starts clean.
  posix_spawnattr_t attr;
  const int attrError = posix_spawnattr_init(&attr);
  if (error == 0) error = attrError;
  if (error == 0) {
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    error = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  pid_t pid = -1;
  if (error == 0) error = posix_spawnp(&pid, name.c_str(), &actions, &attr, argv.data(), environ);
  if (attrError == 0) posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (error == 0) child->pid = pid;
  return error;
}

void EndProgram(ChildProgram* child) {
  const pid_t pid = child->pid;
  if (pid <= 0) return;
  child->pid = -1;
  if (ReapedNow(pid)) return;

  kill(pid, SIGTERM);
  // Polled rather than slept: most programs go within milliseconds.
  const auto deadline = std::chrono::steady_clock::now() + bounds::Bound(kTermBound);
  while (std::chrono::steady_clock::now() < deadline) {
    if (ReapedNow(pid)) return;
    std::this_thread::sleep_for(kPollStep);
  }
  kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}
