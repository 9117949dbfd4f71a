#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "outcome_store.h"
#include "reply.h"

namespace zelko::service {

// Makes a request with an Idempotency-Key run at most once: the key is
// recorded as soon as the request arrives, a repeat gets the stored reply
// without running, a repeat while the request waits or runs waits for it,
// and the key with another request is refused. The store belongs to this
// process alone, so a key left waiting or started in it was left by a process
// that has ended: a waiting one never reached the register and may run, a
// started one is refused.
class IdempotentRequests {
 public:
  // `markStarted` makes the start of the run durable; the run must not touch
  // the register when it returns false.
  using Run = std::function<Reply(const std::function<bool()>& markStarted)>;

  explicit IdempotentRequests(OutcomeStore& store) : store_(store) {}

  // `request` identifies what was asked (method, path and body).
  Reply Handle(const std::string& key, const std::string& request, const Run& run);

 private:
  // The reply that answers a key already known, or nothing when the key is
  // taken by this request (it is then recorded as waiting). Waits while
  // another request holds it.
  std::optional<Reply> Claim(const std::string& key, const std::string& request);
  void Release(const std::string& key);

  OutcomeStore& store_;
  std::mutex mutex_;
  std::condition_variable released_;
  std::map<std::string, std::string> running_;  // key → request, while a request holds the key
};

// A key is 1 to 255 visible ASCII characters.
bool IsValidIdempotencyKey(const std::string& key);
inline constexpr const char* kInvalidKeyMessage = "an Idempotency-Key is 1 to 255 visible ASCII characters";

}  // namespace zelko::service
