#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>

#include "listen_address.h"
#include "tcp_server.h"

namespace zelko::emulator {
namespace {

using Clock = std::chrono::steady_clock;

// A client that sends a line longer than this is not speaking the protocol.
// Room for the driver's longest commands: a command line of a few megabytes,
// its 8-bit bytes taking two bytes each on the wire.
constexpr std::size_t kMaxLineBytes = 16 * 1024 * 1024;

// Blocking receives give up this often, and a wait for a client to read
// wakes this often, to look at the stop switch, the idle limit and clients
// that came meanwhile; a poll before every receive would cost a system call
// per request.
constexpr std::chrono::milliseconds kCheckInterval{200};

void ReturnEvery(int fd, std::chrono::milliseconds interval) {
  const timeval time{0, static_cast<suseconds_t>(interval.count() * 1000)};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &time, sizeof time);
}

bool TimedOut() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

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
  return ListenAddressText(host, port);
}

// One client, from its connection to the reason it ended. The client cannot
// hold the server beyond the idle limit, neither by sending nothing (or half
// a line) nor by not reading what it is sent, and the stop switch is seen in
// every wait.
class ClientSession {
 public:
  ClientSession(int client, int listener, ConnectionHandler& handler, const StopSignal& stop,
                std::chrono::milliseconds idleLimit)
      : client_(client), listener_(listener), handler_(handler), stop_(stop), idleLimit_(idleLimit) {}

  std::string Serve() {
    char chunk[64 * 1024];
    for (;;) {
      if (auto ended = AnswerLines()) return *ended;
      if (received_.size() > kMaxLineBytes) return "bad request: line too long";
      const ssize_t count = recv(client_, chunk, sizeof chunk, 0);
      if (count > 0) {
        received_.append(chunk, static_cast<std::size_t>(count));
      } else if (count == 0 || !TimedOut()) {
        return "client closed the connection";
      }
      if (auto ended = LookAround("idle: no request")) return *ended;
    }
  }

 private:
  // Answers every whole request line received so far.
  std::optional<std::string> AnswerLines() {
    std::size_t taken = 0;
    for (std::size_t end; (end = received_.find('\n', taken)) != std::string::npos; taken = end + 1) {
      const SessionReply reply = handler_.Answer(std::string_view(received_).substr(taken, end - taken));
      if (auto ended = Pause(reply.delay)) return ended;
      lastProgress_ = Clock::now();
      if (reply.drop) return reply.problem.empty() ? "dropped by the scenario" : "bad request: " + reply.problem;
      std::string out;
      for (const std::string& line : reply.lines) out += line + '\n';
      if (auto ended = Send(out)) return ended;
      while (reply.repeat && !out.empty()) {
        if (auto ended = LookAround(nullptr)) return ended;
        if (auto ended = Send(out)) return ended;
      }
    }
    received_.erase(0, taken);
    return std::nullopt;
  }

  // A scripted delay before the answer: the server's own wait, not the client's idling.
  std::optional<std::string> Pause(std::chrono::milliseconds delay) {
    const auto end = Clock::now() + delay;
    for (auto now = Clock::now(); now < end; now = Clock::now()) {
      const auto slice = std::min(std::chrono::ceil<std::chrono::milliseconds>(end - now), kCheckInterval);
      pollfd watch{stop_.Handle(), POLLIN, 0};
      if (poll(&watch, 1, static_cast<int>(slice.count())) > 0) return "emulator stopping";
      if (auto ended = LookAround(nullptr)) return ended;
    }
    return std::nullopt;
  }

  // Sends without blocking, waiting for the client to read as long as it keeps reading.
  std::optional<std::string> Send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t sent = send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (sent > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(sent));
        lastProgress_ = Clock::now();
      } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        pollfd entries[2] = {{client_, POLLOUT, 0}, {stop_.Handle(), POLLIN, 0}};
        if (poll(entries, 2, static_cast<int>(kCheckInterval.count())) > 0 && entries[1].revents != 0) {
          return "emulator stopping";
        }
        if (auto ended = LookAround("idle: not reading")) return ended;
      } else {
        return "client gone";
      }
    }
    return std::nullopt;
  }

  // Once per check interval: the stop switch, the idle limit (unless
  // `idleReason` is null), and a client that came meanwhile, which is turned
  // away unless this one is leaving.
  std::optional<std::string> LookAround(const char* idleReason) {
    const auto now = Clock::now();
    if (now - lastLook_ < kCheckInterval) return std::nullopt;
    lastLook_ = now;
    pollfd entries[3] = {{stop_.Handle(), POLLIN, 0}, {listener_, POLLIN, 0}, {client_, POLLRDHUP, 0}};
    if (poll(entries, 3, 0) < 0) return std::nullopt;
    if (entries[0].revents != 0) return "emulator stopping";
    if (idleReason != nullptr && now - lastProgress_ >= idleLimit_) return idleReason;
    if ((entries[1].revents & POLLIN) != 0 && (entries[2].revents & (POLLRDHUP | POLLHUP)) == 0) TurnAwayNext();
    return std::nullopt;
  }

  void TurnAwayNext() {
    const int other = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (other < 0) return;
    const std::string line = handler_.TurnAway(PeerName(other)) + "\n";
    // A fresh connection takes a short line at once; nothing is waited for.
    [[maybe_unused]] const ssize_t sent = send(other, line.data(), line.size(), MSG_NOSIGNAL);
    shutdown(other, SHUT_WR);
    // What the client sent is read first, so that closing does not reset the connection.
    char ignored[4096];
    while (recv(other, ignored, sizeof ignored, 0) > 0) {
    }
    close(other);
  }

  int client_;
  int listener_;
  ConnectionHandler& handler_;
  const StopSignal& stop_;
  std::chrono::milliseconds idleLimit_;
  std::string received_;
  Clock::time_point lastProgress_ = Clock::now();  // a request taken or bytes sent
  Clock::time_point lastLook_ = Clock::now();
};

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
    // Non-blocking, so that a client that gives up before it is accepted cannot block the server.
    const int listener = socket(candidate->ai_family, candidate->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                                candidate->ai_protocol);
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

void TcpServer::Serve(ConnectionHandler& handler, const StopSignal& stop, std::chrono::milliseconds idleLimit) {
  for (;;) {
    pollfd entries[2] = {{listener_, POLLIN, 0}, {stop.Handle(), POLLIN, 0}};
    if (poll(entries, 2, -1) < 0 && errno != EINTR) return;
    if (entries[1].revents != 0) return;
    if ((entries[0].revents & POLLIN) == 0) continue;
    // Accepted connections block (accept4 does not pass on O_NONBLOCK), up to the check interval.
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ReturnEvery(client, kCheckInterval);
    handler.Connected(PeerName(client));
    const std::string why = ClientSession(client, listener_, handler, stop, idleLimit).Serve();
    close(client);
    handler.Disconnected(why);
  }
}

}  // namespace zelko::emulator
