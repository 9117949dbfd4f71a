#include "worker_pool.h"

namespace zelko::service {

WorkerPool::WorkerPool(std::size_t threads) : idle_(threads) {
  for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

void WorkerPool::Finish() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
    idle_ = 0;
  }
  handed_.notify_all();
  for (auto& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

bool WorkerPool::TryStart(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    if (idle_ == 0) return false;
    --idle_;
    jobs_.push_back(std::move(job));
  }
  handed_.notify_one();
  return true;
}

void WorkerPool::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    handed_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
    if (jobs_.empty()) return;
    const auto job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    job();
    lock.lock();
    if (!ending_) ++idle_;
  }
}

}  // namespace zelko::service
