#pragma once

#include <chrono>
#include <string>

#include "service_sockets.h"

namespace zelko::service {

// One request's connection as cpp-httplib reads and answers it: first the
// bytes that the front has already received, then the socket, but nothing
// after the request's deadline; each reply write gets a few seconds.
class ConnectionStream final : public httplib::Stream {
 public:
  using Clock = std::chrono::steady_clock;

  ConnectionStream(socket_t socket, std::string received, Clock::time_point deadline)
      : socket_(socket), received_(std::move(received)), deadline_(deadline) {}

  bool is_readable() const override;
  bool is_writable() const override;
  // At most `size` bytes; -1 at the deadline.
  ssize_t read(char* ptr, size_t size) override;
  // All of them, or -1.
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return socket_; }

 private:
  bool WaitFor(bool forWriting, Clock::time_point until) const;
  // Receives what has arrived into `received_`, waiting until the deadline; false at its end.
  bool Refill();

  socket_t socket_;
  std::string received_;
  std::size_t taken_ = 0;  // of received_
  Clock::time_point deadline_;
};

}  // namespace zelko::service
