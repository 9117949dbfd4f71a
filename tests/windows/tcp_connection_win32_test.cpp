#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <string>

#include "tcp_connection.h"

namespace zelko {
namespace {

using namespace std::chrono_literals;
using Clock = TcpConnection::Clock;

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
    closesocket(listener_);
    WSACleanup();
  }
  const std::string& Port() const { return port_; }
  void Accept() { peer_ = accept(listener_, nullptr, nullptr); }
  void Send(const std::string& bytes) { send(peer_, bytes.data(), static_cast<int>(bytes.size()), 0); }
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
  void ClosePeer() {
    closesocket(peer_);
    peer_ = INVALID_SOCKET;
  }

 private:
  SOCKET listener_ = INVALID_SOCKET;
  SOCKET peer_ = INVALID_SOCKET;
  std::string port_;
};

TEST(WinsockTcpConnectionTest, SendsReceivesTimesOutAndSeesTheClose) {
  LoopbackListener listener;
  const auto connection = ConnectTcp("127.0.0.1", listener.Port(), Clock::now() + 5s);
  ASSERT_NE(connection, nullptr);
  listener.Accept();

  const std::string request = "{\"id\":1,\"op\":\"ClosePort\"}\n";
  ASSERT_TRUE(connection->SendAll(request));
  EXPECT_EQ(listener.Receive(request.size()), request);

  listener.Send("{\"id\":1,\"result\":0}\n");
  std::string data;
  EXPECT_EQ(connection->Receive(data, Clock::now() + 5s), TcpConnection::ReceiveStatus::Data);
  EXPECT_EQ(data, "{\"id\":1,\"result\":0}\n");

  const auto start = Clock::now();
  EXPECT_EQ(connection->Receive(data, start + 200ms), TcpConnection::ReceiveStatus::TimedOut);
  EXPECT_GE(Clock::now() - start, 190ms);
  EXPECT_LT(Clock::now() - start, 2s);

  listener.ClosePeer();
  EXPECT_EQ(connection->Receive(data, Clock::now() + 5s), TcpConnection::ReceiveStatus::Closed);
}

TEST(WinsockTcpConnectionTest, NothingListeningGivesNoConnection) {
  std::string port;
  {
    LoopbackListener closed;
    port = closed.Port();
  }
  EXPECT_EQ(ConnectTcp("127.0.0.1", port, Clock::now() + 2s), nullptr);
  EXPECT_EQ(ConnectTcp("no-such-host.invalid", "1", Clock::now() + 2s), nullptr);
}

}  // namespace
}  // namespace zelko
