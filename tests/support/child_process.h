// Real child processes for tests: stdin/stdout pipes, signals and deadlines on every wait.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace test_support {

// How a child ended.
struct ChildExit {
  bool signalled = false;  // ended by a signal rather than by exit
  int code = 0;            // the exit code, or the signal number when signalled

  bool ExitedWith(int exitCode) const { return !signalled && code == exitCode; }
  bool KilledBy(int signal) const { return signalled && code == signal; }
  std::string Describe() const;  // for assertion messages: "exit 1", "signal 9 (Killed)"
};

// Changes to the test's own environment for the child; everything else is inherited.
struct ChildEnvironment {
  std::vector<std::pair<std::string, std::string>> set;
  std::vector<std::string> unset;
};

// One started program. stderr is shared with the test so that its diagnostics show up in the
// test log. A child still running when the object goes away is killed and reaped, so a failed
// assertion never leaves processes behind.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Runs `executable` (a path: no PATH search, no shell) with argv[0] = executable followed by
  // `args`. False when it could not be started; LastError() says why.
  bool Start(const std::string& executable, const std::vector<std::string>& args = {},
             const ChildEnvironment& environment = {});

  // The current folder of children started after this; empty: the test's own.
  void SetWorkingFolder(std::string folder) { workingFolder_ = std::move(folder); }

  pid_t Pid() const { return pid_; }
  bool Running() const { return pid_ > 0 && !exit_; }
  const std::string& LastError() const { return error_; }

  // The next line of the child's stdout without its '\n'. nullopt when the deadline passes or
  // the output ends first; a last line without '\n' is still returned when the output ends.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
  // True once the child closed its stdout and every line has been read.
  bool OutputEnded() const { return outputEnded_ && buffer_.empty(); }

  // Writes all of `data` to the child's stdin; false on a deadline, a closed stdin or a child
  // that no longer reads (never SIGPIPE for the test).
  bool Write(std::string_view data, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  void CloseStdin();

  bool Signal(int signal);
  // Reaps the child; nullopt when it is still running at the deadline. Asking again after it
  // ended returns the same result.
  std::optional<ChildExit> Wait(std::chrono::milliseconds timeout);

 private:
  void Release();
  bool Reap(bool block);

  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
  int pidfd_ = -1;  // -1 where the kernel lacks pidfds; Wait then polls waitpid
  std::optional<ChildExit> exit_;
  std::string buffer_;
  bool outputEnded_ = false;
  std::string error_;
  std::string workingFolder_;
};

}  // namespace test_support
