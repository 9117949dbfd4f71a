#include "connection_stream.h"

#include <algorithm>
#include <cstring>

namespace zelko::service {

namespace {

constexpr std::chrono::seconds kWriteTimeout{5};
constexpr std::size_t kReceiveSize = 16 * 1024;

std::chrono::milliseconds Until(std::chrono::steady_clock::time_point until) {
  return std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
}

}  // namespace

// A wait cut short by a signal goes on.
bool ConnectionStream::WaitFor(bool forWriting, Clock::time_point until) const {
  std::vector<SocketWait> wait{{socket_, forWriting}};
  for (auto left = Until(until); left.count() > 0 && !wait.front().ready; left = Until(until)) {
    WaitForSockets(wait, left);
  }
  return wait.front().ready;
}

bool ConnectionStream::is_readable() const { return taken_ < received_.size() || WaitFor(false, deadline_); }

bool ConnectionStream::is_writable() const { return WaitFor(true, Clock::now() + kWriteTimeout); }

bool ConnectionStream::Refill() {
  received_.resize(kReceiveSize);
  taken_ = 0;
  for (;;) {
    std::size_t moved = 0;
    const Transfer transfer = Receive(socket_, received_.data(), received_.size(), moved);
    if (transfer == Transfer::Moved) {
      received_.resize(moved);
      return true;
    }
    if (transfer == Transfer::Ended || !WaitFor(false, deadline_)) {
      received_.clear();
      return false;
    }
  }
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  if (taken_ == received_.size() && !Refill()) return -1;
  const std::size_t count = std::min(size, received_.size() - taken_);
  std::memcpy(ptr, received_.data() + taken_, count);
  taken_ += count;
  return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  const auto until = Clock::now() + kWriteTimeout;
  for (std::size_t sent = 0; sent < size;) {
    std::size_t moved = 0;
    const Transfer transfer = Send(socket_, ptr + sent, size - sent, moved);
    if (transfer == Transfer::Ended) return -1;
    if (transfer == Transfer::Moved) {
      sent += moved;
    } else if (!WaitFor(true, until)) {
      return -1;
    }
  }
  return static_cast<ssize_t>(size);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(socket_, true, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(socket_, false, ip, port);
}

}  // namespace zelko::service
