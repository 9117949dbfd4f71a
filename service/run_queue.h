#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "reply.h"
#include "run_progress.h"

namespace zelko::service {

struct QueueState {
  bool running = false;
  std::size_t sent = 0;   // of the running run
  std::size_t total = 0;  // of the running run
  std::size_t waiting = 0;
};

// One run at a time, in arrival order. Each request runs its own job on its
// own thread when its turn comes; at most `capacity` wait behind the running one.
class RunQueue {
 public:
  using Job = std::function<Reply(RunProgress& progress)>;

  explicit RunQueue(std::size_t capacity) : capacity_(capacity) {}

  // The job's reply; nothing, at once, when the queue is full.
  std::optional<Reply> RunInTurn(const Job& job);
  QueueState State() const;

 private:
  class Progress;

  std::size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable turn_;
  std::uint64_t nextTicket_ = 0;
  std::uint64_t serving_ = 0;
  QueueState state_;
};

}  // namespace zelko::service
