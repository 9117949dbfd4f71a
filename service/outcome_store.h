#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "reply.h"

struct sqlite3;

namespace zelko::service {

// Where a keyed request is: waiting for its turn (it has not reached the
// register), started (it may have printed), finished (its reply is kept).
enum class Stage { Waiting, Started, Finished };

// What the store knows of a key.
struct StoredOutcome {
  std::string request;  // the request the key was first used with
  Stage stage = Stage::Waiting;
  Reply reply;          // when finished
};

// The outcomes of requests that carried an Idempotency-Key, in an SQLite
// database that survives crashes: a key is recorded when its request
// arrives, marked when its run starts, and its reply is committed before it
// is sent. Entries older than the retention are removed.
class OutcomeStore {
 public:
  // Null, with `error` set, when the database cannot be opened or made.
  static std::unique_ptr<OutcomeStore> Open(const std::string& path, std::chrono::seconds retention,
                                            std::string& error);
  ~OutcomeStore();
  OutcomeStore(const OutcomeStore&) = delete;
  OutcomeStore& operator=(const OutcomeStore&) = delete;

  std::optional<StoredOutcome> Find(const std::string& key);
  // Each false when it could not be made durable.
  bool MarkWaiting(const std::string& key, const std::string& request);
  bool MarkStarted(const std::string& key);
  bool Finish(const std::string& key, const Reply& reply);
  // Removes a key that is still waiting: its request ran nothing.
  bool Forget(const std::string& key);

 private:
  OutcomeStore(sqlite3* database, std::chrono::seconds retention) : database_(database), retention_(retention) {}
  bool Execute(const char* statement);
  bool Prepare();
  void RemoveExpired();

  std::mutex mutex_;
  sqlite3* database_;
  std::chrono::seconds retention_;
};

}  // namespace zelko::service
