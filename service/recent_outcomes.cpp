#include "recent_outcomes.h"

#include <chrono>
#include <ctime>

namespace zelko::service {

namespace {

std::string UtcNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm parts{};
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

}  // namespace

void RecentOutcomes::Add(const std::string& what, const Reply& reply) {
  nlohmann::json entry = nlohmann::json::parse(reply.body, nullptr, false);
  if (!entry.is_object()) entry = nlohmann::json::object();
  entry.erase("data");
  entry["what"] = what;
  entry["at"] = UtcNow();
  const std::lock_guard lock(mutex_);
  entries_.push_front(std::move(entry));
  if (entries_.size() > kKept) entries_.pop_back();
}

nlohmann::json RecentOutcomes::List() const {
  const std::lock_guard lock(mutex_);
  return nlohmann::json(entries_);
}

}  // namespace zelko::service
