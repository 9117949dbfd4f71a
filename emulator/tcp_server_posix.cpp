#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "tcp_server.h"

namespace zelko::emulator {
namespace {

// A client that sends a line longer than this is not speaking the protocol.
// Room for the driver's longest commands: a command line of a few megabytes,
// its 8-bit bytes taking two bytes each on the wire.
constexpr std::size_t kMaxLineBytes = 16 * 1024 * 1024;

// Blocking accept and receive give up this often to look at the stop switch;
// waiting in poll instead would cost a system call per request.
constexpr timeval kStopCheckInterval{0, 200 * 1000};

void ReturnEvery(int fd, const timeval& interval) {
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &interval, sizeof interval);
}

bool TimedOut() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

// Waits `ms` unless the stop switch is pulled first; false when it was.
bool SleepUnlessStopped(const StopSignal& stop, std::chrono::milliseconds ms) {
  const auto deadline = std::chrono::steady_clock::now() + ms;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return true;
    pollfd watch{stop.Handle(), POLLIN, 0};
    const int ready = poll(&watch, 1, static_cast<int>(left.count()));
    if (ready > 0 || (ready < 0 && errno != EINTR)) return false;
  }
}

bool SendAll(int client, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::string PeerName(int client) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getpeername(client, reinterpret_cast<sockaddr*>(&address), &length) != 0) return "unknown peer";
  char host[NI_MAXHOST];
  char port[NI_MAXSERV];
  if (getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host, sizeof host, port, sizeof port,
                  NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return "unknown peer";
  }
  return std::string(host) + ":" + port;
}

}  // namespace

std::unique_ptr<TcpServer> TcpServer::Listen(const std::string& host, const std::string& port, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  if (const int status = getaddrinfo(host.c_str(), port.c_str(), &hints, &found); status != 0) {
    error = "cannot resolve " + host + ":" + port + ": " + gai_strerror(status);
    return nullptr;
  }
  error = "cannot listen on " + host + ":" + port;
  for (const addrinfo* candidate = found; candidate != nullptr; candidate = candidate->ai_next) {
    const int listener = socket(candidate->ai_family, candidate->ai_socktype | SOCK_CLOEXEC, candidate->ai_protocol);
    if (listener < 0) continue;
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(listener, candidate->ai_addr, candidate->ai_addrlen) == 0 && listen(listener, 8) == 0) {
      freeaddrinfo(found);
      error.clear();
      return std::unique_ptr<TcpServer>(new TcpServer(listener));
    }
    close(listener);
  }
  freeaddrinfo(found);
  return nullptr;
}

TcpServer::~TcpServer() { close(listener_); }

std::uint16_t TcpServer::Port() const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
  return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

void TcpServer::Serve(ConnectionHandler& handler, const StopSignal& stop) {
  ReturnEvery(listener_, kStopCheckInterval);
  while (!stop.Triggered()) {
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ReturnEvery(client, kStopCheckInterval);
    handler.Connected(PeerName(client));
    const std::string why = ServeClient(client, handler, stop);
    close(client);
    handler.Disconnected(why);
  }
}

std::string TcpServer::ServeClient(int client, ConnectionHandler& handler, const StopSignal& stop) {
  std::string received;
  char chunk[64 * 1024];
  for (;;) {
    std::size_t end;
    while ((end = received.find('\n')) != std::string::npos) {
      const SessionReply reply = handler.Answer(std::string_view(received).substr(0, end));
      received.erase(0, end + 1);
      if (!SleepUnlessStopped(stop, reply.delay)) return "emulator stopping";
      if (reply.drop) return reply.problem.empty() ? "dropped by the scenario" : "bad request: " + reply.problem;
      std::string out;
      for (const std::string& line : reply.lines) out += line + '\n';
      if (!SendAll(client, out)) return "client gone";
    }
    if (received.size() > kMaxLineBytes) return "bad request: line too long";
    const ssize_t count = recv(client, chunk, sizeof chunk, 0);
    if (count < 0 && TimedOut()) {
      if (stop.Triggered()) return "emulator stopping";
      continue;
    }
    if (count <= 0) return "client closed the connection";
    received.append(chunk, static_cast<std::size_t>(count));
  }
}

}  // namespace zelko::emulator
