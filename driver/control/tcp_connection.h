#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace zelko {

// One TCP connection as the register's TCP client needs it: whole writes and
// reads that give up at a deadline. One implementation per platform.
class TcpConnection {
 public:
  using Clock = std::chrono::steady_clock;

  enum class ReceiveStatus { Data, TimedOut, Closed };

  virtual ~TcpConnection() = default;
  // False when the connection is lost or not all was sent by `deadline`.
  virtual bool SendAll(std::string_view bytes, Clock::time_point deadline) = 0;
  // Appends what has arrived to `data`, waiting until `deadline` for something to arrive.
  virtual ReceiveStatus Receive(std::string& data, Clock::time_point deadline) = 0;
  // True when the peer has closed its end, without waiting.
  virtual bool PeerHasClosed() = 0;
};

// Null when no connection could be made before `deadline`.
std::unique_ptr<TcpConnection> ConnectTcp(const std::string& host, const std::string& port,
                                          TcpConnection::Clock::time_point deadline);

}  // namespace zelko
