#include <gtest/gtest.h>

#include <string>

#include "loopback_listener.h"
#include "tcp_connection.h"

namespace zelko {
namespace {

using namespace std::chrono_literals;
using Clock = TcpConnection::Clock;

TEST(WinsockTcpConnectionTest, SendsReceivesTimesOutAndSeesTheClose) {
  LoopbackListener listener;
  const auto connection = ConnectTcp("127.0.0.1", listener.Port(), Clock::now() + 5s);
  ASSERT_NE(connection, nullptr);
  listener.Accept();

  const std::string request = "{\"id\":1,\"op\":\"ClosePort\"}\n";
  ASSERT_TRUE(connection->SendAll(request, Clock::now() + 5s));
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
