#include "recent_outcomes.h"

#include <chrono>
#include <cstdio>

namespace zelko::service {

namespace {

std::string UtcNow() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day date{day};
  const hh_mm_ss time{now - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
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
