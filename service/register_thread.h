#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "receipt_runner.h"

namespace zelko::service {

// Hands every run to one thread of its own, the home of the register's
// control (a ControlApartment), instead of running it on whichever HTTP
// thread received the request. The caller waits for the outcome; an
// exception thrown by the run reaches the caller.
class RegisterThread final : public ReceiptRunner {
 public:
  // Returns once the thread has set up its apartment.
  explicit RegisterThread(ReceiptRunner& runner);
  // Finishes the runs already handed over, then ends the thread.
  ~RegisterThread() override;
  RegisterThread(const RegisterThread&) = delete;
  RegisterThread& operator=(const RegisterThread&) = delete;

  RunOutcome Run(const Receipt& receipt, RunProgress& progress) override;
  // Does `work` on the thread, as a run is done, and waits for it.
  void Do(const std::function<void()>& work);

 private:
  void Serve(std::promise<void>& ready);

  ReceiptRunner& runner_;
  std::mutex mutex_;
  std::condition_variable handed_;
  std::deque<std::function<void()>> runs_;
  bool ending_ = false;
  std::thread thread_;
};

}  // namespace zelko::service
