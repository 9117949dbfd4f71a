#include "run_queue.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace zelko::service {
namespace {

// Waits, without a fixed sleep, until the queue shows `waiting` requests.
void WaitForWaiting(const RunQueue& queue, std::size_t waiting) {
  while (queue.State().waiting != waiting) std::this_thread::yield();
}

TEST(RunQueueTest, RunsOneAtATimeInArrivalOrderAndRefusesBeyondItsCapacity) {
  RunQueue queue(2);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::vector<int> order;
  const auto job = [&](int number) {
    return [&, number](RunProgress& progress) {
      progress.CommandsToSend(3);
      progress.CommandSent();
      order.push_back(number);
      if (number == 0) released.wait();
      return Reply{200, std::to_string(number), false};
    };
  };

  auto first = std::async(std::launch::async, [&] { return queue.RunInTurn(job(0)); });
  while (!queue.State().running) std::this_thread::yield();
  auto second = std::async(std::launch::async, [&] { return queue.RunInTurn(job(1)); });
  WaitForWaiting(queue, 1);
  auto third = std::async(std::launch::async, [&] { return queue.RunInTurn(job(2)); });
  WaitForWaiting(queue, 2);
  EXPECT_FALSE(queue.RunInTurn(job(3)).has_value()) << "the queue is full";

  const QueueState busy = queue.State();
  EXPECT_TRUE(busy.running);
  EXPECT_EQ(busy.sent, 1u);
  EXPECT_EQ(busy.total, 3u);
  release.set_value();
  EXPECT_EQ(first.get()->body, "0");
  EXPECT_EQ(second.get()->body, "1");
  EXPECT_EQ(third.get()->body, "2");
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(queue.State().running);
}

TEST(RunQueueTest, AJobThatThrowsHandsTheTurnOn) {
  RunQueue queue(1);
  EXPECT_THROW(queue.RunInTurn([](RunProgress&) -> Reply { throw std::runtime_error("boom"); }), std::runtime_error);
  const auto next = queue.RunInTurn([](RunProgress&) { return Reply{200, "next", false}; });
  ASSERT_TRUE(next);
  EXPECT_EQ(next->body, "next");
}

}  // namespace
}  // namespace zelko::service
