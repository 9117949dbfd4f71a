#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "service_sockets.h"
#include "worker_pool.h"

namespace zelko::service {

// How long a client may take, and how many may be connected at once.
struct FrontLimits {
  std::size_t connections = 512;
  std::size_t headBytes = 32 * 1024;  // request line and headers
  std::chrono::milliseconds headDeadline{std::chrono::seconds(10)};
  std::chrono::milliseconds requestDeadline{std::chrono::seconds(30)};  // with the body
};

// The service's accepting side: one thread that takes every connection and
// gathers its request head without a worker, so that clients sending slowly
// hold no thread. A complete head whose lines are sound goes to a free worker,
// with the bytes received so far and the request's deadline; when none is
// free, the client is told at once (503). A head not complete by its deadline
// gets 408, one too long 431, connections beyond the limit 503 on arrival.
// Each connection carries one request and is closed after its reply.
class ConnectionFront {
 public:
  using Clock = std::chrono::steady_clock;
  // Serves the one request of a connection on a worker's thread; the front
  // closes the connection afterwards.
  using Serve = std::function<void(socket_t connection, std::string received, Clock::time_point deadline)>;

  ConnectionFront(socket_t listener, WorkerPool& workers, Serve serve);

  // Accepts until Stop, then closes the listener and the connections still
  // without a worker.
  void Run();
  // From any thread.
  void Stop() { stopping_ = true; }

 private:
  struct Connection {
    socket_t socket;
    Clock::time_point accepted;
    Clock::time_point deadline;
    std::string received;
    bool closing = false;  // answered: waits for the client's end
  };

  void AcceptAll();
  void ReceiveFrom(Connection& connection);
  void HandOver(Connection& connection, std::size_t headLength);
  // Sends a short JSON reply and closes the connection once the client has read it.
  void Refuse(Connection& connection, int status, const std::string& message);
  // From a worker: ends an answered connection once its client has seen the
  // end (or after a few seconds), so that no reply is lost to a reset.
  void Close(socket_t connection);
  void TakeAnswered();
  void EndExpired();
  std::chrono::milliseconds UntilNextDeadline() const;

  socket_t listener_;
  WorkerPool& workers_;
  Serve serve_;
  const FrontLimits limits_;
  std::atomic<bool> stopping_{false};
  std::vector<Connection> connections_;
  std::mutex answeredMutex_;
  std::vector<socket_t> answered_;
  bool running_ = true;  // under answeredMutex_
};

}  // namespace zelko::service
