// Socket files of the instance bus: naming, listening, finding the other copies, connecting to them.
#include "platform/core/bus_socket.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/core/diagnostics.h"

namespace bus {

namespace {

constexpr const char* kPrefix = "bus-";
constexpr const char* kSuffix = ".sock";

bool FillAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

int NewSocket() { return socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

// The pid in a name of the form bus-<digits>.sock, or 0.
std::uint32_t PidFromName(const char* name) {
  const std::size_t length = std::strlen(name), prefix = std::strlen(kPrefix), suffix = std::strlen(kSuffix);
  if (length <= prefix + suffix || length > prefix + suffix + 10) return 0;
  if (std::strncmp(name, kPrefix, prefix) != 0 || std::strcmp(name + length - suffix, kSuffix) != 0) return 0;
  std::uint64_t pid = 0;
  for (std::size_t i = prefix; i < length - suffix; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    pid = pid * 10 + static_cast<unsigned>(name[i] - '0');
  }
  // 0 and 1 never name a copy; anything at or above the broadcast handle is no process id.
  return pid > 1 && pid < 0x7FFFFFFF ? static_cast<std::uint32_t>(pid) : 0;
}

// A copy that has ended but is not yet reaped: its pid cannot be taken by anyone else yet, while its
// listening socket may still take connections for a moment as the kernel closes its files.
bool HasEnded(std::uint32_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  FILE* file = std::fopen(path.c_str(), "re");
  if (file == nullptr) return false;
  char text[512];
  const std::size_t n = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  text[n] = '\0';
  // The state follows the command name, which may itself hold parentheses.
  const char* close = std::strrchr(text, ')');
  return close != nullptr && close[1] == ' ' && (close[2] == 'Z' || close[2] == 'X');
}

}  // namespace

std::string SocketPath(const std::string& folder, std::uint32_t pid) {
  return folder + "/" + kPrefix + std::to_string(pid) + kSuffix;
}

int ListenAt(const std::string& folder, std::uint32_t pid) {
  const std::string path = SocketPath(folder, pid);
  const std::string staging = folder + "/" + kPrefix + std::to_string(pid) + ".new";
  sockaddr_un address, stagingAddress;
  if (!FillAddress(path, &address) || !FillAddress(staging, &stagingAddress)) {
    Diag(DiagLevel::Error,
         "instance bus: socket name %s is longer than the %zu characters a socket can have; "
         "this copy cannot talk to the others",
         path.c_str(), sizeof address.sun_path - 1);
    return -1;
  }
  const int fd = NewSocket();
  if (fd < 0) {
    Diag(DiagLevel::Error, "instance bus: socket: %s", std::strerror(errno));
    return -1;
  }
  // Leftovers under our own pid belong to a dead copy that had it before us.
  unlink(staging.c_str());
  if (bind(fd, reinterpret_cast<sockaddr*>(&stagingAddress), sizeof stagingAddress) != 0 ||
      listen(fd, 64) != 0 || rename(staging.c_str(), path.c_str()) != 0) {
    Diag(DiagLevel::Error, "instance bus: cannot listen at %s: %s", path.c_str(), std::strerror(errno));
    unlink(staging.c_str());
    close(fd);
    return -1;
  }
  return fd;
}

std::vector<std::uint32_t> ListPeers(const std::string& folder) {
  std::vector<std::uint32_t> pids;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) {
    Diag(DiagLevel::Warning, "instance bus: cannot list %s: %s", folder.c_str(), std::strerror(errno));
    return pids;
  }
  while (dirent* entry = readdir(dir))
    if (std::uint32_t pid = PidFromName(entry->d_name)) pids.push_back(pid);
  closedir(dir);
  std::sort(pids.begin(), pids.end());
  return pids;
}

bool PeerOf(int fd, uid_t* uid, pid_t* pid) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 || length != sizeof credentials)
    return false;
  *uid = credentials.uid;
  *pid = credentials.pid;
  return true;
}

ConnectResult ConnectTo(const std::string& folder, std::uint32_t pid, int* fd) {
  *fd = -1;
  sockaddr_un address;
  if (!FillAddress(SocketPath(folder, pid), &address)) return ConnectResult::Unreachable;
  const int s = NewSocket();
  if (s < 0) return ConnectResult::Unreachable;
  int rc;
  do {
    rc = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    close(s);
    // Refused: the file is there but no socket listens behind it any more.
    if (error == ECONNREFUSED) return ConnectResult::Dead;
    if (error == ENOENT) return ConnectResult::Unreachable;  // it went away while we looked
    Diag(DiagLevel::Warning, "instance bus: copy %u not reachable: %s", pid, std::strerror(error));
    return ConnectResult::Unreachable;
  }
  // What we say may be a door address or a call target: only a copy of our own user hears it.
  // Unknown until the peer's credentials are read: a failed read reports the impossible uid -1.
  uid_t uid = static_cast<uid_t>(-1);
  pid_t listener = 0;
  if (!PeerOf(s, &uid, &listener) || uid != geteuid()) {
    Diag(DiagLevel::Warning, "instance bus: the socket of copy %u is served by uid %lu, not by us; skipped",
         pid, static_cast<unsigned long>(uid));
    close(s);
    return ConnectResult::Unreachable;
  }
  *fd = s;
  return ConnectResult::Connected;
}

void RemoveDeadSocket(const std::string& folder, std::uint32_t pid) {
  const std::string path = SocketPath(folder, pid);
  // Only a socket of our own that still refuses is removed: a copy that took the same pid and
  // put its socket in place since then must keep it.
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != geteuid()) return;
  if (!HasEnded(pid)) {
    int fd;
    const ConnectResult again = ConnectTo(folder, pid, &fd);
    if (fd >= 0) close(fd);
    // A hung copy's full queue is no sign of death: its socket stays.
    if (again != ConnectResult::Dead) return;
  }
  if (unlink(path.c_str()) == 0)
    Diag(DiagLevel::Info, "instance bus: removed the socket of ended copy %u", pid);
}

long WriteSome(int fd, const void* data, std::size_t length) {
  for (;;) {
    const ssize_t n = send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return -1;
  }
}

}  // namespace bus
