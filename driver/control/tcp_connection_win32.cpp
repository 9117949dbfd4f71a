#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>

#include "tcp_connection.h"

namespace zelko {

namespace {

// Winsock is started once for the process and left running until it ends.
bool StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

timeval TimeUntil(TcpConnection::Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - TcpConnection::Clock::now());
  if (left.count() < 0) left = std::chrono::microseconds(0);
  timeval time{};
  time.tv_sec = static_cast<long>(left.count() / 1000000);
  time.tv_usec = static_cast<long>(left.count() % 1000000);
  return time;
}

enum class Wait { Read, Write };

// Waits until `socket` can be read or written; false on timeout, error or a
// failed connect (which Winsock reports as an exception).
bool WaitFor(SOCKET socket, Wait what, TcpConnection::Clock::time_point deadline) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket, &ready);
  FD_SET(socket, &failed);
  timeval time = TimeUntil(deadline);
  const int count = what == Wait::Read ? select(0, &ready, nullptr, &failed, &time)
                                       : select(0, nullptr, &ready, &failed, &time);
  return count > 0 && FD_ISSET(socket, &ready) && !FD_ISSET(socket, &failed);
}

class WinsockTcpConnection final : public TcpConnection {
 public:
  explicit WinsockTcpConnection(SOCKET socket) : socket_(socket) {}
  ~WinsockTcpConnection() override { closesocket(socket_); }
  WinsockTcpConnection(const WinsockTcpConnection&) = delete;
  WinsockTcpConnection& operator=(const WinsockTcpConnection&) = delete;

  bool SendAll(std::string_view bytes, Clock::time_point deadline) override {
    while (!bytes.empty()) {
      const int chunk = bytes.size() > 1 << 20 ? 1 << 20 : static_cast<int>(bytes.size());
      const int sent = send(socket_, bytes.data(), chunk, 0);
      if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
        if (!WaitFor(socket_, Wait::Write, deadline)) return false;
        continue;
      }
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  }

  ReceiveStatus Receive(std::string& data, Clock::time_point deadline) override {
    for (;;) {
      if (!WaitFor(socket_, Wait::Read, deadline)) return ReceiveStatus::TimedOut;
      char buffer[16 * 1024];
      const int got = recv(socket_, buffer, sizeof buffer, 0);
      if (got > 0) {
        data.append(buffer, static_cast<std::size_t>(got));
        return ReceiveStatus::Data;
      }
      if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return ReceiveStatus::Closed;
    }
  }

  // Readable with nothing to read: the peer has closed. Pending data hides a close; it is found later.
  bool PeerHasClosed() override {
    if (!WaitFor(socket_, Wait::Read, Clock::now())) return false;
    char byte;
    return recv(socket_, &byte, 1, MSG_PEEK) <= 0;
  }

 private:
  SOCKET socket_;
};

// A non-blocking connect to one address, finished within the deadline.
SOCKET ConnectOne(const addrinfo& address, TcpConnection::Clock::time_point deadline) {
  const SOCKET s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
  if (s == INVALID_SOCKET) return INVALID_SOCKET;
  u_long nonBlocking = 1;
  bool connected = ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
  if (connected && connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == SOCKET_ERROR) {
    connected = WSAGetLastError() == WSAEWOULDBLOCK && WaitFor(s, Wait::Write, deadline);
  }
  if (!connected) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  const BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return s;
}

}  // namespace

std::unique_ptr<TcpConnection> ConnectTcp(const std::string& host, const std::string& port,
                                          TcpConnection::Clock::time_point deadline) {
  if (!StartWinsock()) return nullptr;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &addresses) != 0) return nullptr;
  SOCKET s = INVALID_SOCKET;
  for (const addrinfo* address = addresses; address != nullptr && s == INVALID_SOCKET; address = address->ai_next) {
    s = ConnectOne(*address, deadline);
  }
  freeaddrinfo(addresses);
  if (s == INVALID_SOCKET) return nullptr;
  return std::make_unique<WinsockTcpConnection>(s);
}

}  // namespace zelko
