#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "tcp_connection.h"

namespace zelko {

namespace {

int MillisecondsUntil(TcpConnection::Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TcpConnection::Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Waits for `events` on `fd`; false on timeout or error.
bool WaitFor(int fd, short events, TcpConnection::Clock::time_point deadline) {
  pollfd entry{fd, events, 0};
  for (;;) {
    const int ready = poll(&entry, 1, MillisecondsUntil(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// The receive timeout is set in whole steps of this, rounded down, so that
// operations with the same timeout reuse it without a system call each.
constexpr std::chrono::milliseconds kReceiveStep{10};

// How long a receive may block to end by the deadline: whole steps while
// more than a step is left, then whole milliseconds; zero at the end.
std::chrono::milliseconds ReceiveWait(TcpConnection::Clock::time_point deadline) {
  const auto left = std::chrono::floor<std::chrono::milliseconds>(deadline - TcpConnection::Clock::now());
  if (left < kReceiveStep) return std::max(left, std::chrono::milliseconds::zero());
  return left / kReceiveStep * kReceiveStep;
}

// A blocking receive with the socket's receive timeout, instead of a poll
// before each receive: one system call per response. Sends do not block.
class PosixTcpConnection final : public TcpConnection {
 public:
  explicit PosixTcpConnection(int fd) : fd_(fd) {}
  ~PosixTcpConnection() override { close(fd_); }
  PosixTcpConnection(const PosixTcpConnection&) = delete;
  PosixTcpConnection& operator=(const PosixTcpConnection&) = delete;

  bool SendAll(std::string_view bytes, Clock::time_point deadline) override {
    while (!bytes.empty()) {
      const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (sent < 0 && errno == EINTR) continue;
      if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        if (!WaitFor(fd_, POLLOUT, deadline)) return false;
        continue;
      }
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  }

  ReceiveStatus Receive(std::string& data, Clock::time_point deadline) override {
    for (;;) {
      // At the deadline only what has already arrived counts.
      const auto wait = ReceiveWait(deadline);
      const bool last = wait == std::chrono::milliseconds::zero();
      if (!last && !SetReceiveTimeout(wait)) return ReceiveStatus::Closed;
      char buffer[16 * 1024];
      const ssize_t got = recv(fd_, buffer, sizeof buffer, last ? MSG_DONTWAIT : 0);
      if (got > 0) {
        data.append(buffer, static_cast<std::size_t>(got));
        return ReceiveStatus::Data;
      }
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        if (last) return ReceiveStatus::TimedOut;
        continue;
      }
      return ReceiveStatus::Closed;
    }
  }

  bool PeerHasClosed() override {
    pollfd entry{fd_, POLLRDHUP, 0};
    return poll(&entry, 1, 0) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
  }

 private:
  bool SetReceiveTimeout(std::chrono::milliseconds wait) {
    if (wait == receiveTimeout_) return true;
    const timeval interval{static_cast<time_t>(wait.count() / 1000),
                           static_cast<suseconds_t>(wait.count() % 1000 * 1000)};
    if (setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &interval, sizeof interval) != 0) return false;
    receiveTimeout_ = wait;
    return true;
  }

  int fd_;
  std::chrono::milliseconds receiveTimeout_{0};  // 0: none set yet
};

// A non-blocking connect to one address, finished within the deadline.
int ConnectOne(const addrinfo& address, TcpConnection::Clock::time_point deadline) {
  const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
  if (fd < 0) return -1;
  int result = connect(fd, address.ai_addr, address.ai_addrlen);
  if (result < 0 && errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline)) {
    int error = 0;
    socklen_t length = sizeof error;
    result = (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) ? 0 : -1;
  }
  if (result < 0) {
    close(fd);
    return -1;
  }
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  // Receives block, up to the receive timeout.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

std::unique_ptr<TcpConnection> ConnectTcp(const std::string& host, const std::string& port,
                                          TcpConnection::Clock::time_point deadline) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &addresses) != 0) return nullptr;
  int fd = -1;
  for (const addrinfo* address = addresses; address != nullptr && fd < 0; address = address->ai_next) {
    fd = ConnectOne(*address, deadline);
  }
  freeaddrinfo(addresses);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixTcpConnection>(fd);
}

}  // namespace zelko
