#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

namespace zelko {

// A listening loopback socket on a free port, the peer of the connection.
class LoopbackListener {
 public:
  LoopbackListener() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 1);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = std::to_string(ntohs(address.sin_port));
  }
  ~LoopbackListener() {
    if (peer_ != INVALID_SOCKET) closesocket(peer_);
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    WSACleanup();
  }
  const std::string& Port() const { return port_; }
  void Accept() { peer_ = accept(listener_, nullptr, nullptr); }
  void Send(const std::string& bytes) { send(peer_, bytes.data(), static_cast<int>(bytes.size()), 0); }
  // What the peer sent up to and without the next LF; empty when it closed first.
  std::string ReceiveLine() {
    std::string line;
    char byte = 0;
    while (recv(peer_, &byte, 1, 0) == 1) {
      if (byte == '\n') return line;
      line += byte;
    }
    return {};
  }
  std::string Receive(std::size_t size) {
    std::string bytes;
    char buffer[256];
    while (bytes.size() < size) {
      const int got = recv(peer_, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      bytes.append(buffer, got);
    }
    return bytes;
  }
  // Wakes a thread waiting in Accept or Receive: both then give up.
  void Stop() {
    if (peer_ != INVALID_SOCKET) shutdown(peer_, SD_BOTH);
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
  }
  void ClosePeer() {
    closesocket(peer_);
    peer_ = INVALID_SOCKET;
  }

 private:
  SOCKET listener_ = INVALID_SOCKET;
  SOCKET peer_ = INVALID_SOCKET;
  std::string port_;
};

}  // namespace zelko
