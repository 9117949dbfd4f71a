#pragma once

// A plain TCP connection to the service, for requests that an HTTP client
// library would not send: empty or repeated headers, a head sent slowly, a
// request whose reply is never read.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>

#include "loopback.h"

namespace zelko::service::testing {

class RawConnection {
 public:
  explicit RawConnection(int port) : fd_(zelko::testing::ConnectToLoopback(static_cast<std::uint16_t>(port))) {}
  ~RawConnection() { Close(); }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool Connected() const { return fd_ >= 0; }
  bool Send(std::string_view bytes) const {
    return fd_ >= 0 && send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  // What arrives until the service ends the connection, or until `timeout`.
  std::string Reply(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
    std::string reply;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (WaitForData(deadline)) {
      char buffer[4096];
      const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      reply.append(buffer, static_cast<std::size_t>(got));
    }
    return reply;
  }

  // True once the service has ended the connection, whatever it sent first.
  bool EndedByService(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (WaitForData(deadline)) {
      char buffer[4096];
      if (recv(fd_, buffer, sizeof buffer, 0) <= 0) return true;
    }
    return false;
  }

 private:
  bool WaitForData(std::chrono::steady_clock::time_point deadline) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd entry{fd_, POLLIN, 0};
    return fd_ >= 0 && left.count() > 0 && poll(&entry, 1, static_cast<int>(left.count())) > 0;
  }

  int fd_;
};

// The status code of a raw reply ("HTTP/1.1 400 Bad Request..."), 0 when there is none.
inline int StatusOf(const std::string& reply) {
  return reply.starts_with("HTTP/1.") && reply.size() >= 12 ? std::stoi(reply.substr(9, 3)) : 0;
}

}  // namespace zelko::service::testing
