#include "run_queue.h"

namespace zelko::service {

class RunQueue::Progress final : public RunProgress {
 public:
  explicit Progress(RunQueue& queue) : queue_(queue) {}
  void CommandsToSend(std::size_t total) override {
    const std::lock_guard lock(queue_.mutex_);
    queue_.state_.total = total;
  }
  void CommandSent() override {
    const std::lock_guard lock(queue_.mutex_);
    ++queue_.state_.sent;
  }

 private:
  RunQueue& queue_;
};

std::optional<Reply> RunQueue::RunInTurn(const Job& job) {
  std::unique_lock lock(mutex_);
  if (state_.waiting >= capacity_ && (state_.running || state_.waiting > 0)) return std::nullopt;
  const std::uint64_t ticket = nextTicket_++;
  ++state_.waiting;
  turn_.wait(lock, [&] { return serving_ == ticket && !state_.running; });
  --state_.waiting;
  state_.running = true;
  state_.sent = state_.total = 0;
  lock.unlock();

  Progress progress(*this);
  // The next in line gets its turn however this job ends.
  struct TurnEnd {
    RunQueue& queue;
    ~TurnEnd() {
      {
        const std::lock_guard lock(queue.mutex_);
        queue.state_.running = false;
        ++queue.serving_;
      }
      queue.turn_.notify_all();
    }
  } turnEnd{*this};
  return job(progress);
}

QueueState RunQueue::State() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

}  // namespace zelko::service
