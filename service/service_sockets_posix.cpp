#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "service_sockets.h"

namespace zelko::service {

socket_t BindOne(const addrinfo& address, std::string& error, bool& inUse) {
  const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
  if (fd >= 0) {
    // SO_REUSEADDR lets a restart bind beside connections of the last process
    // that linger in TIME_WAIT; unlike SO_REUSEPORT it never lets two listen.
    const int yes = 1;
    const int no = 0;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (address.ai_family == AF_INET6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
    if (bind(fd, address.ai_addr, address.ai_addrlen) == 0) return fd;
  }
  error = std::strerror(errno);
  inUse = inUse || errno == EADDRINUSE;
  if (fd >= 0) close(fd);
  return INVALID_SOCKET;
}

bool StartListening(socket_t listener) { return listen(listener, SOMAXCONN) == 0; }

socket_t AcceptWaiting(socket_t listener) {
  for (;;) {
    const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0 || errno != EINTR) return fd < 0 ? INVALID_SOCKET : fd;
  }
}

namespace {

Transfer Outcome(ssize_t count, std::size_t& moved) {
  if (count > 0) {
    moved = static_cast<std::size_t>(count);
    return Transfer::Moved;
  }
  return count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? Transfer::WouldBlock
                                                                                   : Transfer::Ended;
}

}  // namespace

Transfer Receive(socket_t socket, char* buffer, std::size_t size, std::size_t& moved) {
  return Outcome(recv(socket, buffer, size, 0), moved);
}

Transfer Send(socket_t socket, const char* bytes, std::size_t size, std::size_t& moved) {
  return Outcome(send(socket, bytes, size, MSG_NOSIGNAL), moved);
}

void WaitForSockets(std::vector<SocketWait>& sockets, std::chrono::milliseconds timeout) {
  std::vector<pollfd> entries;
  entries.reserve(sockets.size());
  for (const auto& wait : sockets) entries.push_back({wait.socket, static_cast<short>(wait.forWriting ? POLLOUT : POLLIN), 0});
  if (poll(entries.data(), entries.size(), static_cast<int>(timeout.count())) <= 0) return;
  for (std::size_t i = 0; i < sockets.size(); ++i) sockets[i].ready = entries[i].revents != 0;
}

void EndSending(socket_t socket) { shutdown(socket, SHUT_WR); }

void CloseSocket(socket_t socket) { close(socket); }

}  // namespace zelko::service
