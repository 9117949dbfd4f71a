#pragma once

// The socket calls of the service's HTTP front, one implementation per
// platform. Every socket made or accepted here is non-blocking.

#include <httplib.h>  // socket_t, INVALID_SOCKET and the system's socket headers

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace zelko::service {

// A TCP socket bound to `host`:`port` (0: a free port, and `port` is set to
// the one taken), not yet listening, that no other socket may share: on
// POSIX without SO_REUSEPORT, on Windows with SO_EXCLUSIVEADDRUSE. While the
// address is in use it tries again, for `patience`. INVALID_SOCKET, with
// `error` set, when the address cannot be had.
socket_t BindExclusively(const std::string& host, int& port, std::chrono::milliseconds patience, std::string& error);
// Listens with the system's largest backlog.
bool StartListening(socket_t listener);
// A connection waiting to be accepted; INVALID_SOCKET when there is none.
socket_t AcceptWaiting(socket_t listener);

enum class Transfer { Moved, WouldBlock, Ended };  // Ended: the peer closed, or the connection failed

// Each moves what it can at once; `moved` is the count of bytes when Moved.
Transfer Receive(socket_t socket, char* buffer, std::size_t size, std::size_t& moved);
Transfer Send(socket_t socket, const char* bytes, std::size_t size, std::size_t& moved);

struct SocketWait {
  socket_t socket;
  bool forWriting = false;
  bool ready = false;  // set by WaitForSockets: data, room, the peer's end or an error
};

// Waits until one of `sockets` is ready, or until `timeout`.
void WaitForSockets(std::vector<SocketWait>& sockets, std::chrono::milliseconds timeout);

// The platform's part of BindExclusively: a socket of the address, with the
// options that keep it exclusive, bound. INVALID_SOCKET, with `error` set and
// `inUse` when another socket has the address, when it cannot be.
socket_t BindOne(const addrinfo& address, std::string& error, bool& inUse);

// No more will be sent; the peer sees the end once it has read the rest.
void EndSending(socket_t socket);
void CloseSocket(socket_t socket);
// The numeric address and port of the socket's own end, or of its peer's.
void SocketAddress(socket_t socket, bool peer, std::string& ip, int& port);

}  // namespace zelko::service
