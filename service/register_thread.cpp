#include "register_thread.h"

#include "control_apartment.h"

namespace zelko::service {

RegisterThread::RegisterThread(ReceiptRunner& runner) : runner_(runner) {
  std::promise<void> ready;
  thread_ = std::thread([this, &ready] { Serve(ready); });
  ready.get_future().wait();
}

RegisterThread::~RegisterThread() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  handed_.notify_one();
  thread_.join();
}

RunOutcome RegisterThread::Run(const Receipt& receipt, RunProgress& progress) {
  RunOutcome outcome;
  Do([&] { outcome = runner_.Run(receipt, progress); });
  return outcome;
}

void RegisterThread::Do(const std::function<void()>& work) {
  std::packaged_task<void()> task(work);
  auto done = task.get_future();
  {
    const std::lock_guard lock(mutex_);
    runs_.emplace_back([&task] { task(); });
  }
  handed_.notify_one();
  done.get();
}

void RegisterThread::Serve(std::promise<void>& ready) {
  const ControlApartment apartment;
  ready.set_value();
  std::unique_lock lock(mutex_);
  for (;;) {
    handed_.wait(lock, [this] { return ending_ || !runs_.empty(); });
    if (runs_.empty()) return;
    const auto run = std::move(runs_.front());
    runs_.pop_front();
    lock.unlock();
    run();
    lock.lock();
  }
}

}  // namespace zelko::service
