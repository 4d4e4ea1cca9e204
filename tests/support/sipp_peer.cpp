// sipp in a child process: scenario and logs in a folder of its own, reaped with a deadline.
#include "tests/support/sipp_peer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "tests/support/free_port.h"

extern char** environ;

namespace test_support {

SippPeer::~SippPeer() {
  if (pid_ > 0 && !exit_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool SippPeer::Start(const std::string& scenario, int port, const std::vector<std::string>& extra,
                     int calls) {
  const std::string file = folder_ / "scenario.xml";
  if (!WriteFile(file, scenario)) return false;
  return Launch({"-sf", file}, port, extra, calls);
}

bool SippPeer::StartBuiltIn(const std::string& name, int port, const std::vector<std::string>& extra,
                            int calls) {
  return Launch({"-sn", name}, port, extra, calls);
}

bool SippPeer::Launch(std::vector<std::string> scenarioArgs, int port, const std::vector<std::string>& extra,
                      int calls) {
  if (pid_ > 0) return false;
  port_ = port != 0 ? port : FreeUdpPort();
  if (port_ == 0) return false;
  std::vector<std::string> args = {"/usr/bin/sipp"};
  args.insert(args.end(), scenarioArgs.begin(), scenarioArgs.end());
  if (echoRtp_) {
    const int media = FreeUdpPort();
    if (media == 0) return false;
    args.insert(args.end(), {"-mp", std::to_string(media), "-rtp_echo"});
  }
  args.insert(args.end(),
              {"-i", "127.0.0.1", "-p", std::to_string(port_), "-m", std::to_string(calls), "-nostdin",
               "-trace_err", "-error_file", folder_ / "errors.log", "-timeout", "60", "-timeout_error"});
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string log = folder_ / "screen.log";
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const int result = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) pid_ = -1;
  return pid_ > 0;
}

std::optional<int> SippPeer::Wait(std::chrono::milliseconds timeout) {
  if (exit_ || pid_ <= 0) return exit_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return exit_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string SippPeer::Log() const {
  return ReadFile(folder_ / "messages.log") + ReadFile(folder_ / "errors.log");
}

std::string FillIn(std::string text, const std::vector<std::pair<std::string, std::string>>& values) {
  for (const auto& [name, value] : values) {
    const std::string key = "@" + name + "@";
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
      text.replace(at, key.size(), value);
  }
  return text;
}

}  // namespace test_support
