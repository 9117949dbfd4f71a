#include "recent_outcomes.h"

#include <chrono>

#include "utc_time.h"

namespace zelko::service {

void RecentOutcomes::Add(const std::string& what, const Reply& reply) {
  nlohmann::json entry = nlohmann::json::parse(reply.body, nullptr, false);
  if (!entry.is_object()) entry = nlohmann::json::object();
  entry.erase("data");
  entry["what"] = what;
  entry["at"] = UtcTimeText(std::chrono::system_clock::now(), false);
  const std::lock_guard lock(mutex_);
  entries_.push_front(std::move(entry));
  if (entries_.size() > kKept) entries_.pop_back();
}

nlohmann::json RecentOutcomes::List() const {
  const std::lock_guard lock(mutex_);
  return nlohmann::json(entries_);
}

}  // namespace zelko::service
