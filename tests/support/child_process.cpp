// Starting, talking to, signalling and reaping test child processes.
#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

namespace test_support {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

std::string ErrnoText(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

// Pipe ends above 2 and close-on-exec, so that moving them onto the child's 0 and 1 can never
// overwrite one another, and no other child inherits them.
bool MakePipe(int ends[2]) {
  int raw[2];
  if (pipe2(raw, O_CLOEXEC) != 0) return false;
  for (int i = 0; i < 2; ++i) {
    ends[i] = raw[i] > 2 ? raw[i] : fcntl(raw[i], F_DUPFD_CLOEXEC, 3);
    if (raw[i] <= 2) close(raw[i]);
  }
  if (ends[0] >= 0 && ends[1] >= 0) return true;
  if (ends[0] >= 0) close(ends[0]);
  if (ends[1] >= 0) close(ends[1]);
  return false;
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

std::vector<std::string> ChildEnvironmentStrings(const ChildEnvironment& changes) {
  auto overridden = [&](std::string_view entry) {
    std::string_view name = entry.substr(0, entry.find('='));
    for (const auto& [key, value] : changes.set)
      if (key == name) return true;
    return std::find(changes.unset.begin(), changes.unset.end(), name) != changes.unset.end();
  };
  std::vector<std::string> result;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
    if (!overridden(*entry)) result.emplace_back(*entry);
  for (const auto& [key, value] : changes.set) result.push_back(key + "=" + value);
  return result;
}

std::vector<char*> PointerArray(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

ChildExit FromWaitStatus(int status) {
  if (WIFSIGNALED(status)) return ChildExit{true, WTERMSIG(status)};
  return ChildExit{false, WEXITSTATUS(status)};
}

}  // namespace

std::string ChildExit::Describe() const {
  if (!signalled) return "exit " + std::to_string(code);
  return "signal " + std::to_string(code) + " (" + strsignal(code) + ")";
}

ChildProcess::~ChildProcess() { Release(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    pid_ = std::exchange(other.pid_, -1);
    stdin_ = std::exchange(other.stdin_, -1);
    stdout_ = std::exchange(other.stdout_, -1);
    pidfd_ = std::exchange(other.pidfd_, -1);
    exit_ = std::exchange(other.exit_, std::nullopt);
    buffer_ = std::move(other.buffer_);
    outputEnded_ = std::exchange(other.outputEnded_, false);
    error_ = std::move(other.error_);
    workingFolder_ = std::move(other.workingFolder_);
  }
  return *this;
}

void ChildProcess::Release() {
  if (Running()) {
    kill(pid_, SIGKILL);
    Reap(true);
  }
  CloseFd(stdin_);
  CloseFd(stdout_);
  CloseFd(pidfd_);
  pid_ = -1;
}

bool ChildProcess::Start(const std::string& executable, const std::vector<std::string>& args,
                         const ChildEnvironment& environment) {
  Release();
  exit_.reset();
  buffer_.clear();
  outputEnded_ = false;
  error_.clear();

  int in[2], out[2];
  if (!MakePipe(in)) {
    error_ = ErrnoText("pipe", errno);
    return false;
  }
  if (!MakePipe(out)) {
    error_ = ErrnoText("pipe", errno);
    close(in[0]);
    close(in[1]);
    return false;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  if (!workingFolder_.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder_.c_str());
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Descriptors the test left open without close-on-exec (locks, sockets) stay with the test.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif

  // The child starts with the signal handling of a fresh program, whatever the test runner set.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t noSignals, defaults;
  sigemptyset(&noSignals);
  sigemptyset(&defaults);
  for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGALRM, SIGUSR1, SIGUSR2})
    sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> argStrings{executable};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<std::string> envStrings = ChildEnvironmentStrings(environment);
  std::vector<char*> argv = PointerArray(argStrings);
  std::vector<char*> envp = PointerArray(envStrings);

  pid_t pid = -1;
  int rc = posix_spawn(&pid, executable.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(in[0]);
  close(out[1]);
  if (rc != 0) {
    error_ = ErrnoText(("spawn " + executable).c_str(), rc);
    close(in[1]);
    close(out[0]);
    return false;
  }
  pid_ = pid;
  stdin_ = in[1];
  stdout_ = out[0];
  // Non-blocking stdin, so that a child that stops reading cannot hang the test in write().
  fcntl(stdin_, F_SETFL, fcntl(stdin_, F_GETFL) | O_NONBLOCK);
#ifdef SYS_pidfd_open
  // Safe against pid reuse: the child is not reaped yet.
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
#endif
  return true;
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (auto newline = buffer_.find('\n'); newline != std::string::npos) {
      std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      return line;
    }
    if (outputEnded_ || stdout_ < 0) {
      if (buffer_.empty()) return std::nullopt;
      return std::exchange(buffer_, std::string());
    }
    pollfd p{stdout_, POLLIN, 0};
    int ready = poll(&p, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;  // deadline passed
    char chunk[4096];
    ssize_t n = read(stdout_, chunk, sizeof chunk);
    if (n > 0) {
      buffer_.append(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      outputEnded_ = true;
    }
  }
}

bool ChildProcess::Write(std::string_view data, std::chrono::milliseconds timeout) {
  if (stdin_ < 0) return false;
  const auto deadline = Clock::now() + timeout;

  // A child that closed its stdin would raise SIGPIPE in the test; hold it back on this thread
  // and swallow it, leaving EPIPE as the only trace.
  sigset_t pipeSignal, previous, pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  sigpending(&pending);
  const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;

  bool ok = true;
  while (!data.empty()) {
    ssize_t n = write(stdin_, data.data(), data.size());
    if (n > 0) {
      data.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{stdin_, POLLOUT, 0};
      int ready = poll(&p, 1, MillisecondsLeft(deadline));
      if (ready > 0 || (ready < 0 && errno == EINTR)) continue;
    }
    ok = false;
    break;
  }
  if (!ok && errno == EPIPE && !alreadyPending) {
    const timespec noWait{};
    sigtimedwait(&pipeSignal, nullptr, &noWait);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return ok;
}

void ChildProcess::CloseStdin() { CloseFd(stdin_); }

bool ChildProcess::Signal(int signal) { return Running() && kill(pid_, signal) == 0; }

bool ChildProcess::Reap(bool block) {
  if (exit_) return true;
  if (pid_ <= 0) return false;
  int status = 0;
  pid_t rc;
  do {
    rc = waitpid(pid_, &status, block ? 0 : WNOHANG);
  } while (rc < 0 && errno == EINTR);
  if (rc == pid_) {
    exit_ = FromWaitStatus(status);
    CloseFd(pidfd_);
    return true;
  }
  if (rc < 0) {
    // Reaped elsewhere (a SIGCHLD handler of the program under test, say): the status is lost.
    error_ = ErrnoText("waitpid", errno);
    exit_ = ChildExit{false, -1};
    return true;
  }
  return false;
}

std::optional<ChildExit> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (Reap(false)) return exit_;
    int left = MillisecondsLeft(deadline);
    if (left == 0) return std::nullopt;
    if (pidfd_ >= 0) {
      pollfd p{pidfd_, POLLIN, 0};
      poll(&p, 1, left);
    } else {
      // Without a pidfd nothing signals the exit to poll for: look again every few milliseconds.
      poll(nullptr, 0, std::min(left, 5));
    }
  }
}

}  // namespace test_support
