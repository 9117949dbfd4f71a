#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zelko::service {

// A fixed number of threads for requests. A job is taken only when a thread
// is free for it, so that nothing handed over ever waits unseen.
class WorkerPool {
 public:
  explicit WorkerPool(std::size_t threads);
  ~WorkerPool() { Finish(); }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // False, and the job is not taken, when every thread is busy.
  bool TryStart(std::function<void()> job);
  // Finishes the jobs already taken, then ends the threads; no job is taken after.
  void Finish();

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable handed_;
  std::deque<std::function<void()>> jobs_;
  std::size_t idle_;
  bool ending_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace zelko::service
