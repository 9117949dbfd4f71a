#include "register_thread.h"

#include <gtest/gtest.h>

#include <future>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace zelko::service {
namespace {

class NoProgress final : public RunProgress {
 public:
  void CommandsToSend(std::size_t) override {}
  void CommandSent() override {}
};

// Notes the thread of every run; a receipt on port "throw" makes the run fail.
class ThreadNotingRunner final : public ReceiptRunner {
 public:
  RunOutcome Run(const Receipt& receipt, RunProgress&) override {
    threads.insert(std::this_thread::get_id());
    if (receipt.port == "throw") throw std::runtime_error("the run failed");
    RunOutcome outcome;
    outcome.diagnostics = receipt.port;
    return outcome;
  }
  std::set<std::thread::id> threads;  // written by the register thread only
};

TEST(RegisterThreadTest, RunsFromManyCallersAllRunOnItsOneThreadWithTheirOwnOutcome) {
  ThreadNotingRunner runner;
  {
    RegisterThread thread(runner);
    NoProgress progress;
    std::vector<std::future<RunOutcome>> outcomes;
    for (int caller = 0; caller < 8; ++caller) {
      outcomes.push_back(std::async(std::launch::async, [&, caller] {
        return thread.Run(ReceiptOf("receipt " + std::to_string(caller), "9600", {}), progress);
      }));
    }
    for (int caller = 0; caller < 8; ++caller) {
      EXPECT_EQ(outcomes[caller].get().diagnostics, "receipt " + std::to_string(caller));
    }
    EXPECT_THROW(thread.Run(ReceiptOf("throw", "9600", {}), progress), std::runtime_error);
    EXPECT_EQ(thread.Run(ReceiptOf("after a failure", "9600", {}), progress).diagnostics, "after a failure");
  }
  ASSERT_EQ(runner.threads.size(), 1u);
  EXPECT_NE(*runner.threads.begin(), std::this_thread::get_id());
}

}  // namespace
}  // namespace zelko::service
