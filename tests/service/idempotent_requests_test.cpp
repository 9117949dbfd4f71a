#include "idempotent_requests.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <ctime>

#include <future>
#include <optional>
#include <vector>

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

TEST_F(IdempotentRequestsTest, AKeyIsRecordedOnArrivalAndMarkedWhenItsRunStarts) {
  auto store = OpenStore();
  auto observer = OpenStore();  // another connection to the database: it sees what is committed
  IdempotentRequests requests(*store);
  std::vector<std::optional<Stage>> seen;
  const auto look = [&] {
    const auto stored = observer->Find("k");
    seen.push_back(stored ? std::optional(stored->stage) : std::nullopt);
  };
  requests.Handle("k", "POST a", [&](const std::function<bool()>& markStarted) {
    look();
    markStarted();
    look();
    return Reply{200, "done", false};
  });
  look();
  EXPECT_EQ(seen, (std::vector<std::optional<Stage>>{Stage::Waiting, Stage::Started, Stage::Finished}));
}

// A process that ended, by a crash, before or during a keyed run: a repeat
// runs it only when it had not reached the register.
TEST_F(IdempotentRequestsTest, AKeyLeftUnfinishedRunsAgainOnlyIfItNeverStarted) {
  struct Case {
    const char* name;
    bool started;
    int status;
    int runs;
  };
  for (const auto& test : {Case{"waiting", false, 200, 1}, Case{"started", true, 409, 0}}) {
    SCOPED_TRACE(test.name);
    runs_ = 0;
    const std::string key = test.name;
    {
      auto ended = OpenStore();
      ASSERT_TRUE(ended->MarkWaiting(key, "POST a"));
      ASSERT_TRUE(!test.started || ended->MarkStarted(key));
    }
    auto store = OpenStore();
    IdempotentRequests requests(*store);
    EXPECT_EQ(requests.Handle(key, "POST a", Counted({200, "ran", false})).status, test.status);
    EXPECT_EQ(requests.Handle(key, "POST a", Counted({200, "again", false})).status, test.status);
    EXPECT_EQ(runs_, test.runs);
  }
}

// Stores of the release before kept no waiting keys: an unfinished key there has started.
TEST_F(IdempotentRequestsTest, AStoreOfTheEarlierLayoutKeepsWhatItKnew) {
  sqlite3* database = nullptr;
  ASSERT_EQ(sqlite3_open(folder_.File("outcomes.sqlite").c_str(), &database), SQLITE_OK);
  const std::string now = std::to_string(std::time(nullptr));
  const std::string earlier =
      "CREATE TABLE outcomes (key BLOB PRIMARY KEY, request BLOB NOT NULL, finished INTEGER NOT NULL,"
      " status INTEGER, body BLOB, stored_at INTEGER NOT NULL);"
      "INSERT INTO outcomes VALUES (X'637574', X'504f53542061', 0, NULL, NULL, " + now + ");"
      "INSERT INTO outcomes VALUES (X'646f6e65', X'504f53542061', 1, 200, X'6669727374', " + now + ");";
  EXPECT_EQ(sqlite3_exec(database, earlier.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(database);
  auto store = OpenStore();
  IdempotentRequests requests(*store);
  EXPECT_EQ(requests.Handle("cut", "POST a", Counted({200, "again", false})).status, 409);
  EXPECT_EQ(requests.Handle("done", "POST a", Counted({200, "again", false})).body, "first");
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
