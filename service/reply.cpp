#include "reply.h"

#include <nlohmann/json.hpp>

namespace zelko::service {

Reply ErrorReply(int status, const std::string& message) {
  return {status, nlohmann::json{{"error", message}}.dump(), false};
}

}  // namespace zelko::service
