#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "protocol_session.h"
#include "stop_signal.h"

namespace zelko::emulator {

// What the server does with each connection, one at a time.
class ConnectionHandler {
 public:
  virtual ~ConnectionHandler() = default;
  virtual void Connected(const std::string& peer) = 0;
  virtual SessionReply Answer(std::string_view line) = 0;
  virtual void Disconnected(const std::string& why) = 0;
  // A client that came while another is served: the line it is sent before its connection is closed.
  virtual std::string TurnAway(const std::string& peer) = 0;
};

// How long a client may leave the server waiting, on its next request or on
// reading what it was sent, before it is dropped.
inline constexpr std::chrono::milliseconds kDefaultIdleLimit{60000};

// A listening TCP socket that serves one client at a time; a client that
// comes meanwhile is turned away at once. Whatever a client does, the stop
// switch ends serving within a fraction of a second.
class TcpServer {
 public:
  // Null, with `error` set, when the address cannot be bound. Port "0" picks a free port.
  static std::unique_ptr<TcpServer> Listen(const std::string& host, const std::string& port, std::string& error);
  ~TcpServer();
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  std::uint16_t Port() const;
  // Serves clients until `stop` is triggered.
  void Serve(ConnectionHandler& handler, const StopSignal& stop,
             std::chrono::milliseconds idleLimit = kDefaultIdleLimit);

 private:
  explicit TcpServer(int listener) : listener_(listener) {}

  int listener_;
};

}  // namespace zelko::emulator
