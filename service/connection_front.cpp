#include "connection_front.h"

#include <algorithm>

#include "reply.h"
#include "request_head.h"

namespace zelko::service {

namespace {

// How soon the loop sees Stop and the connections that workers have answered.
constexpr std::chrono::milliseconds kLoopWait{100};
// How long an answered connection waits for its client to end it.
constexpr std::chrono::seconds kLinger{2};
constexpr std::string_view kHeadEnd = "\r\n\r\n";

const char* ReasonOf(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 408: return "Request Timeout";
    case 431: return "Request Header Fields Too Large";
    default: return "Service Unavailable";
  }
}

// A short reply fits the empty send buffer of a new connection: it is sent whole or not at all.
void SendReply(socket_t socket, int status, const std::string& message) {
  const std::string body = ErrorReply(status, message).body;
  const std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + ReasonOf(status) +
                            "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
                            "\r\nConnection: close\r\n\r\n" + body;
  std::size_t moved = 0;
  Send(socket, reply.data(), reply.size(), moved);
}

std::string Seconds(std::chrono::milliseconds time) {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(time).count()) + " s";
}

}  // namespace

ConnectionFront::ConnectionFront(socket_t listener, WorkerPool& workers, Serve serve)
    : listener_(listener), workers_(workers), serve_(std::move(serve)) {}

void ConnectionFront::Run() {
  while (!stopping_) {
    TakeAnswered();
    std::vector<SocketWait> waits{{listener_}};
    for (const auto& connection : connections_) waits.push_back({connection.socket});
    WaitForSockets(waits, UntilNextDeadline());
    const std::size_t known = connections_.size();
    if (waits.front().ready) AcceptAll();
    for (std::size_t i = 0; i < known; ++i) {
      if (waits[i + 1].ready) ReceiveFrom(connections_[i]);
    }
    EndExpired();
  }
  CloseSocket(listener_);
  const std::lock_guard lock(answeredMutex_);
  running_ = false;
  for (const auto& connection : connections_) CloseSocket(connection.socket);
  for (const socket_t socket : answered_) CloseSocket(socket);
}

void ConnectionFront::Close(socket_t connection) {
  EndSending(connection);
  const std::lock_guard lock(answeredMutex_);
  if (running_) {
    answered_.push_back(connection);
  } else {
    CloseSocket(connection);
  }
}

void ConnectionFront::AcceptAll() {
  for (socket_t socket; (socket = AcceptWaiting(listener_)) != INVALID_SOCKET;) {
    if (connections_.size() >= limits_.connections) {
      SendReply(socket, 503, "the service has " + std::to_string(limits_.connections) +
                                 " connections open; nothing was sent, try again later");
      CloseSocket(socket);
      continue;
    }
    const auto now = Clock::now();
    connections_.push_back({socket, now, now + limits_.headDeadline, {}});
  }
}

void ConnectionFront::ReceiveFrom(Connection& connection) {
  char buffer[4096];
  std::size_t moved = 0;
  const Transfer transfer = Receive(connection.socket, buffer, sizeof buffer, moved);
  if (transfer == Transfer::WouldBlock) return;
  if (transfer == Transfer::Ended) {
    CloseSocket(connection.socket);
    connection.socket = INVALID_SOCKET;
    return;
  }
  if (connection.closing) return;  // what a client sends after its reply is dropped
  // The end of the head may straddle what came before.
  const std::size_t kept = kHeadEnd.size() - 1;
  const std::size_t searched = connection.received.size() < kept ? 0 : connection.received.size() - kept;
  connection.received.append(buffer, moved);
  const std::size_t end = connection.received.find(kHeadEnd, searched);
  const std::size_t headLength = end == std::string::npos ? connection.received.size() : end + kHeadEnd.size();
  if (headLength > limits_.headBytes) {
    Refuse(connection, 431, "the request line and headers exceed " + std::to_string(limits_.headBytes) + " bytes");
  } else if (end != std::string::npos) {
    HandOver(connection, headLength);
  }
}

void ConnectionFront::HandOver(Connection& connection, std::size_t headLength) {
  if (const auto problem = RequestHeadProblem(std::string_view(connection.received).substr(0, headLength))) {
    Refuse(connection, 400, *problem);
    return;
  }
  const socket_t socket = connection.socket;
  auto job = [this, socket, received = connection.received,
              deadline = connection.accepted + limits_.requestDeadline]() mutable {
    serve_(socket, std::move(received), deadline);
    Close(socket);
  };
  if (!workers_.TryStart(std::move(job))) {
    Refuse(connection, 503, "the service is busy: every one of its threads serves a request; "
                            "nothing was sent, try again later");
    return;
  }
  connection.socket = INVALID_SOCKET;  // the worker's now
}

void ConnectionFront::Refuse(Connection& connection, int status, const std::string& message) {
  SendReply(connection.socket, status, message);
  EndSending(connection.socket);
  connection.closing = true;
  connection.received = std::string();
  connection.deadline = Clock::now() + kLinger;
}

void ConnectionFront::TakeAnswered() {
  const std::lock_guard lock(answeredMutex_);
  const auto now = Clock::now();
  for (const socket_t socket : answered_) connections_.push_back({socket, now, now + kLinger, {}, true});
  answered_.clear();
}

void ConnectionFront::EndExpired() {
  const auto now = Clock::now();
  for (auto& connection : connections_) {
    if (connection.socket == INVALID_SOCKET || now < connection.deadline) continue;
    if (connection.closing) {
      CloseSocket(connection.socket);
      connection.socket = INVALID_SOCKET;
    } else {
      Refuse(connection, 408, "the request line and headers did not arrive within " + Seconds(limits_.headDeadline));
    }
  }
  std::erase_if(connections_, [](const Connection& connection) { return connection.socket == INVALID_SOCKET; });
}

std::chrono::milliseconds ConnectionFront::UntilNextDeadline() const {
  auto next = Clock::now() + kLoopWait;
  for (const auto& connection : connections_) next = std::min(next, connection.deadline);
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
  return std::max(left, std::chrono::milliseconds::zero());
}

}  // namespace zelko::service
