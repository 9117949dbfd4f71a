#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

#include "reply.h"

namespace zelko::service {

// The last runs' outcomes, newest first, for the status page.
class RecentOutcomes {
 public:
  static constexpr std::size_t kKept = 10;

  // `what`: "receipt" or "articles".
  void Add(const std::string& what, const Reply& reply);
  nlohmann::json List() const;

 private:
  mutable std::mutex mutex_;
  std::deque<nlohmann::json> entries_;
};

}  // namespace zelko::service
