// First: cpp-httplib's header brings in Winsock with NOMINMAX.
#include "service_sockets.h"

#include <algorithm>

#include "win32_error_text.h"

namespace zelko::service {

namespace {

bool MakeNonBlocking(SOCKET socket) {
  u_long on = 1;
  return ioctlsocket(socket, FIONBIO, &on) == 0;
}

}  // namespace

socket_t BindOne(const addrinfo& address, std::string& error, bool& inUse) {
  const SOCKET socket = WSASocketW(address.ai_family, address.ai_socktype, address.ai_protocol, nullptr, 0,
                                   WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  if (socket != INVALID_SOCKET) {
    // Without it (and with SO_REUSEADDR, which it excludes) another socket
    // could bind the same address and take connections meant for this one.
    const BOOL yes = TRUE;
    const BOOL no = FALSE;
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
    if (address.ai_family == AF_INET6) {
      setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&no), sizeof no);
    }
    if (MakeNonBlocking(socket) && bind(socket, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) {
      return socket;
    }
  }
  inUse = inUse || WSAGetLastError() == WSAEADDRINUSE;
  error = LastErrorText(static_cast<unsigned long>(WSAGetLastError()));
  if (socket != INVALID_SOCKET) closesocket(socket);
  return INVALID_SOCKET;
}

bool StartListening(socket_t listener) { return listen(listener, SOMAXCONN) == 0; }

// Accepted sockets take the listener's non-blocking mode.
socket_t AcceptWaiting(socket_t listener) { return accept(listener, nullptr, nullptr); }

namespace {

Transfer Outcome(int count, std::size_t& moved) {
  if (count > 0) {
    moved = static_cast<std::size_t>(count);
    return Transfer::Moved;
  }
  return count < 0 && WSAGetLastError() == WSAEWOULDBLOCK ? Transfer::WouldBlock : Transfer::Ended;
}

int Size(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, 1 << 30)); }

}  // namespace

Transfer Receive(socket_t socket, char* buffer, std::size_t size, std::size_t& moved) {
  return Outcome(recv(socket, buffer, Size(size), 0), moved);
}

Transfer Send(socket_t socket, const char* bytes, std::size_t size, std::size_t& moved) {
  return Outcome(send(socket, bytes, Size(size), 0), moved);
}

void WaitForSockets(std::vector<SocketWait>& sockets, std::chrono::milliseconds timeout) {
  std::vector<WSAPOLLFD> entries;
  entries.reserve(sockets.size());
  for (const auto& wait : sockets) {
    entries.push_back({wait.socket, static_cast<SHORT>(wait.forWriting ? POLLWRNORM : POLLRDNORM), 0});
  }
  if (WSAPoll(entries.data(), static_cast<ULONG>(entries.size()), static_cast<INT>(timeout.count())) <= 0) return;
  for (std::size_t i = 0; i < sockets.size(); ++i) sockets[i].ready = entries[i].revents != 0;
}

void EndSending(socket_t socket) { shutdown(socket, SD_SEND); }

void CloseSocket(socket_t socket) { closesocket(socket); }

}  // namespace zelko::service
