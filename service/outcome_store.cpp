#include "outcome_store.h"

#include <sqlite3.h>

namespace zelko::service {

namespace {

long long Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// One prepared statement, finalized when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* database, const char* sql) {
    if (sqlite3_prepare_v2(database, sql, -1, &statement_, nullptr) != SQLITE_OK) statement_ = nullptr;
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return statement_ != nullptr; }
  // The text must outlive the statement's steps; it is not copied, as a request of megabytes may be long.
  void Bind(int index, const std::string& text) {
    sqlite3_bind_blob(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
  }
  void Bind(int index, long long value) { sqlite3_bind_int64(statement_, index, value); }
  int Step() { return sqlite3_step(statement_); }
  std::string Text(int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    return bytes == nullptr ? std::string() : std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
  }
  long long Number(int column) { return sqlite3_column_int64(statement_, column); }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// A key neither waiting nor finished has started.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS outcomes ("
    " key BLOB PRIMARY KEY, request BLOB NOT NULL, finished INTEGER NOT NULL,"
    " status INTEGER, body BLOB, stored_at INTEGER NOT NULL, waiting INTEGER NOT NULL DEFAULT 0)";
// Stores made before keys were recorded on arrival lack the column; their
// unfinished keys had all started.
constexpr const char* kAddWaiting = "ALTER TABLE outcomes ADD COLUMN waiting INTEGER NOT NULL DEFAULT 0";

Stage StageOf(bool waiting, bool finished) {
  if (finished) return Stage::Finished;
  return waiting ? Stage::Waiting : Stage::Started;
}

}  // namespace

std::unique_ptr<OutcomeStore> OutcomeStore::Open(const std::string& path, std::chrono::seconds retention,
                                                 std::string& error) {
  sqlite3* database = nullptr;
  if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    error = "cannot open the outcome store " + path + ": " + sqlite3_errmsg(database);
    sqlite3_close(database);
    return nullptr;
  }
  std::unique_ptr<OutcomeStore> store(new OutcomeStore(database, retention));
  // WAL with full sync: a committed outcome survives a crash of the service or the machine.
  sqlite3_busy_timeout(database, 5000);
  if (!store->Prepare()) {
    error = "cannot prepare the outcome store " + path + ": " + sqlite3_errmsg(database);
    return nullptr;
  }
  store->RemoveExpired();
  return store;
}

OutcomeStore::~OutcomeStore() { sqlite3_close(database_); }

bool OutcomeStore::Execute(const char* statement) {
  return sqlite3_exec(database_, statement, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool OutcomeStore::Prepare() {
  if (!Execute("PRAGMA journal_mode=WAL") || !Execute("PRAGMA synchronous=FULL") || !Execute(kSchema)) return false;
  return Statement(database_, "SELECT waiting FROM outcomes LIMIT 0").Ok() || Execute(kAddWaiting);
}

void OutcomeStore::RemoveExpired() {
  Statement remove(database_, "DELETE FROM outcomes WHERE stored_at < ?");
  if (!remove.Ok()) return;
  remove.Bind(1, Now() - retention_.count());
  remove.Step();
}

std::optional<StoredOutcome> OutcomeStore::Find(const std::string& key) {
  const std::lock_guard lock(mutex_);
  Statement find(database_,
                 "SELECT request, waiting, finished, status, body FROM outcomes WHERE key = ? AND stored_at >= ?");
  if (!find.Ok()) return std::nullopt;
  find.Bind(1, key);
  find.Bind(2, Now() - retention_.count());
  if (find.Step() != SQLITE_ROW) return std::nullopt;
  StoredOutcome outcome{find.Text(0), StageOf(find.Number(1) != 0, find.Number(2) != 0), {}};
  if (outcome.stage == Stage::Finished) outcome.reply = {static_cast<int>(find.Number(3)), find.Text(4), true};
  return outcome;
}

bool OutcomeStore::MarkWaiting(const std::string& key, const std::string& request) {
  const std::lock_guard lock(mutex_);
  RemoveExpired();
  Statement mark(database_,
                 "INSERT OR REPLACE INTO outcomes (key, request, finished, stored_at, waiting) VALUES (?, ?, 0, ?, 1)");
  if (!mark.Ok()) return false;
  mark.Bind(1, key);
  mark.Bind(2, request);
  mark.Bind(3, Now());
  return mark.Step() == SQLITE_DONE;
}

bool OutcomeStore::MarkStarted(const std::string& key) {
  const std::lock_guard lock(mutex_);
  Statement mark(database_, "UPDATE outcomes SET waiting = 0 WHERE key = ?");
  if (!mark.Ok()) return false;
  mark.Bind(1, key);
  return mark.Step() == SQLITE_DONE && sqlite3_changes(database_) == 1;
}

bool OutcomeStore::Forget(const std::string& key) {
  const std::lock_guard lock(mutex_);
  Statement forget(database_, "DELETE FROM outcomes WHERE key = ? AND waiting = 1 AND finished = 0");
  if (!forget.Ok()) return false;
  forget.Bind(1, key);
  return forget.Step() == SQLITE_DONE;
}

bool OutcomeStore::Finish(const std::string& key, const Reply& reply) {
  const std::lock_guard lock(mutex_);
  Statement finish(database_, "UPDATE outcomes SET finished = 1, status = ?, body = ?, stored_at = ? WHERE key = ?");
  if (!finish.Ok()) return false;
  finish.Bind(1, static_cast<long long>(reply.status));
  finish.Bind(2, reply.body);
  finish.Bind(3, Now());
  finish.Bind(4, key);
  return finish.Step() == SQLITE_DONE && sqlite3_changes(database_) == 1;
}

}  // namespace zelko::service
