// The instance bus's sockets: one listening socket per copy, named by its process id, in one folder.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bus {

// <folder>/bus-<pid>.sock
std::string SocketPath(const std::string& folder, std::uint32_t pid);

// Binds and listens under a temporary name, then renames the socket into place, so that the name of
// a copy always leads to a socket that already listens. Non-blocking, close-on-exec; -1 on failure
// (with a diagnostic; a path over the 107 characters a socket name can hold is one).
int ListenAt(const std::string& folder, std::uint32_t pid);

// The process ids of every copy whose socket lies in the folder, in increasing order.
std::vector<std::uint32_t> ListPeers(const std::string& folder);

enum class ConnectResult { Connected, Dead, Unreachable };
// A non-blocking connection to the copy's socket, checked to be served by our own user.
// Dead: nobody listens there (the copy ended); Unreachable: anything else (a full queue of a hung
// copy, a foreign owner); fd is set only when Connected.
ConnectResult ConnectTo(const std::string& folder, std::uint32_t pid, int* fd);

// Removes the socket of a copy found dead, unless it has come back to life meanwhile.
void RemoveDeadSocket(const std::string& folder, std::uint32_t pid);

// The user and process at the other end of a connected socket.
bool PeerOf(int fd, uid_t* uid, pid_t* pid);

// One write of what remains of a buffer without blocking and without SIGPIPE: bytes taken, 0 when
// the socket is full for now, -1 when the connection failed.
long WriteSome(int fd, const void* data, std::size_t length);

}  // namespace bus
