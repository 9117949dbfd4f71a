#pragma once

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
};

// A listening TCP socket that serves one client at a time; a second client
// waits in the listen queue until the first one leaves.
class TcpServer {
 public:
  // Null, with `error` set, when the address cannot be bound. Port "0" picks a free port.
  static std::unique_ptr<TcpServer> Listen(const std::string& host, const std::string& port, std::string& error);
  ~TcpServer();
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  std::uint16_t Port() const;
  // Serves clients until `stop` is triggered.
  void Serve(ConnectionHandler& handler, const StopSignal& stop);

 private:
  explicit TcpServer(int listener) : listener_(listener) {}
  // Returns why the connection ended.
  std::string ServeClient(int client, ConnectionHandler& handler, const StopSignal& stop);

  int listener_;
};

}  // namespace zelko::emulator
