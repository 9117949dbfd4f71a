#include "service_sockets.h"

#include <thread>

namespace zelko::service {

namespace {

int PortOf(const sockaddr_storage& address) {
  return ntohs(address.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6&>(address).sin6_port
                                             : reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

}  // namespace

socket_t BindExclusively(const std::string& host, int& port, std::chrono::milliseconds patience, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0) {
    error = "the address cannot be resolved";
    return INVALID_SOCKET;
  }
  const auto until = std::chrono::steady_clock::now() + patience;
  socket_t bound = INVALID_SOCKET;
  for (;;) {
    bool inUse = false;
    for (const addrinfo* address = addresses; address != nullptr && bound == INVALID_SOCKET;
         address = address->ai_next) {
      bound = BindOne(*address, error, inUse);
    }
    if (bound != INVALID_SOCKET || !inUse || std::chrono::steady_clock::now() >= until) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  freeaddrinfo(addresses);
  if (bound == INVALID_SOCKET) return INVALID_SOCKET;
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  getsockname(bound, reinterpret_cast<sockaddr*>(&address), &length);
  port = PortOf(address);
  return bound;
}

void SocketAddress(socket_t socket, bool peer, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  char host[NI_MAXHOST];
  if ((peer ? getpeername(socket, raw, &length) : getsockname(socket, raw, &length)) != 0 ||
      getnameinfo(raw, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) {
    return;
  }
  ip = host;
  port = PortOf(address);
}

}  // namespace zelko::service
