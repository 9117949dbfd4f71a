#include "idempotent_requests.h"

#include <gtest/gtest.h>

#include <future>

#include "temp_folder.h"

namespace zelko::service {
namespace {

using zelko::testing::TempFolder;

constexpr std::chrono::hours kWeek{24 * 7};

class IdempotentRequestsTest : public ::testing::Test {
 protected:
  std::unique_ptr<OutcomeStore> OpenStore(std::chrono::seconds retention = kWeek) {
    std::string error;
    auto store = OutcomeStore::Open(folder_.File("outcomes.sqlite"), retention, error);
    EXPECT_TRUE(store) << error;
    return store;
  }

  // A run that counts how often it reached the register.
  IdempotentRequests::Run Counted(Reply reply) {
    return [this, reply](const std::function<bool()>& markStarted) {
      if (!markStarted()) return ErrorReply(503, "store");
      ++runs_;
      return reply;
    };
  }

  TempFolder folder_;
  int runs_ = 0;
};

TEST_F(IdempotentRequestsTest, AKeyRunsOnceAndItsOutcomeOutlivesTheStore) {
  {
    auto store = OpenStore();
    IdempotentRequests requests(*store);
    EXPECT_EQ(requests.Handle("k", "POST a", Counted({200, "first", false})).body, "first");
    const Reply repeat = requests.Handle("k", "POST a", Counted({200, "second", false}));
    EXPECT_EQ(repeat.body, "first");
    EXPECT_TRUE(repeat.replayed);
    EXPECT_EQ(requests.Handle("k", "POST b", Counted({200, "other", false})).status, 422);
  }
  auto reopened = OpenStore();
  IdempotentRequests requests(*reopened);
  EXPECT_EQ(requests.Handle("k", "POST a", Counted({200, "third", false})).body, "first");
  EXPECT_EQ(runs_, 1);
}

TEST_F(IdempotentRequestsTest, RefusalsThatRanNothingAreNotKept) {
  auto store = OpenStore();
  IdempotentRequests requests(*store);
  const auto busy = [](const std::function<bool()>&) { return ErrorReply(503, "busy"); };
  EXPECT_EQ(requests.Handle("k", "POST a", busy).status, 503);
  EXPECT_EQ(requests.Handle("k", "POST a", Counted({200, "ran", false})).body, "ran");
  EXPECT_EQ(runs_, 1);
}

TEST_F(IdempotentRequestsTest, ARunStartedButNeverFinishedIsNotRunAgain) {
  auto store = OpenStore();
  ASSERT_TRUE(store->MarkStarted("k", "POST a"));
  IdempotentRequests requests(*store);
  EXPECT_EQ(requests.Handle("k", "POST a", Counted({200, "again", false})).status, 409);
  EXPECT_EQ(runs_, 0);
}

TEST_F(IdempotentRequestsTest, ARepeatDuringTheRunWaitsForItsOutcome) {
  auto store = OpenStore();
  IdempotentRequests requests(*store);
  std::promise<void> entered;
  std::promise<void> finish;
  auto first = std::async(std::launch::async, [&] {
    return requests.Handle("k", "POST a", [&](const std::function<bool()>& markStarted) {
      markStarted();
      entered.set_value();
      finish.get_future().wait();
      return Reply{200, "first", false};
    });
  });
  entered.get_future().wait();
  auto repeat = std::async(std::launch::async, [&] { return requests.Handle("k", "POST a", Counted({200, "x", false})); });
  EXPECT_EQ(requests.Handle("k", "POST b", Counted({200, "x", false})).status, 422) << "other body, refused at once";
  finish.set_value();
  EXPECT_EQ(first.get().body, "first");
  EXPECT_EQ(repeat.get().body, "first");
  EXPECT_EQ(runs_, 0);
}

TEST_F(IdempotentRequestsTest, OutcomesOlderThanTheRetentionAreForgotten) {
  auto store = OpenStore(std::chrono::seconds(-1));
  IdempotentRequests requests(*store);
  requests.Handle("k", "POST a", Counted({200, "first", false}));
  EXPECT_EQ(requests.Handle("k", "POST b", Counted({200, "second", false})).body, "second");
  EXPECT_EQ(runs_, 2);
}

}  // namespace
}  // namespace zelko::service
