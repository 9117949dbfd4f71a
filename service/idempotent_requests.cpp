#include "idempotent_requests.h"

#include <algorithm>
#include <iostream>

namespace zelko::service {

namespace {

// Replies that say what happened to the register, or that the loader refused
// the request, are kept; the others (full queue, store fault) left nothing
// done and may be tried again with the same key.
bool IsOutcome(const Reply& reply) { return reply.status == 200 || reply.status == 422 || reply.status == 500; }

Reply KeyReused() {
  return ErrorReply(422, "this Idempotency-Key was already used with a different request");
}

}  // namespace

bool IsValidIdempotencyKey(const std::string& key) {
  return !key.empty() && key.size() <= 255 &&
         std::all_of(key.begin(), key.end(), [](unsigned char c) { return c > 0x20 && c < 0x7f; });
}

Reply IdempotentRequests::Handle(const std::string& key, const std::string& request, const Run& run) {
  if (auto known = Claim(key, request)) return *known;
  bool started = false;
  const auto markStarted = [&] { return started = store_.MarkStarted(key); };
  Reply reply;
  try {
    reply = run(markStarted);
  } catch (...) {
    if (!started) store_.Forget(key);
    Release(key);
    throw;
  }
  if (!started) {
    // Nothing ran: the key is free again. Should the store fail here, the key
    // stays waiting, and a repeat runs as after a crash.
    store_.Forget(key);
  } else if (IsOutcome(reply) && !store_.Finish(key, reply)) {
    // The run is marked started, so a repeat is told the outcome is unknown and never runs again.
    std::cerr << "ZelkoService: the outcome for an Idempotency-Key could not be stored\n";
  }
  Release(key);
  return reply;
}

std::optional<Reply> IdempotentRequests::Claim(const std::string& key, const std::string& request) {
  std::unique_lock lock(mutex_);
  for (;;) {
    const auto holder = running_.find(key);
    if (holder == running_.end()) break;
    if (holder->second != request) return KeyReused();
    released_.wait(lock);
  }
  if (const auto stored = store_.Find(key)) {
    if (stored->request != request) return KeyReused();
    if (stored->stage == Stage::Finished) return stored->reply;
    if (stored->stage == Stage::Started) {
      return ErrorReply(409,
                        "the run with this Idempotency-Key was interrupted (the service stopped during it); "
                        "whether the register executed it is unknown: check the register before sending it "
                        "again with a new key");
    }
  }
  if (!store_.MarkWaiting(key, request)) {
    return ErrorReply(503, "the outcome store cannot be written, so the request was not taken; nothing was sent");
  }
  running_.emplace(key, request);
  return std::nullopt;
}

void IdempotentRequests::Release(const std::string& key) {
  {
    const std::lock_guard lock(mutex_);
    running_.erase(key);
  }
  released_.notify_all();
}

}  // namespace zelko::service
