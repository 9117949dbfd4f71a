#include <cstdlib>
#include <filesystem>
#include <string>

#include "service_options.h"

namespace zelko::service {

// $XDG_STATE_HOME/zelko/service, or ~/.local/state/zelko/service.
std::filesystem::path DefaultStoreFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && *state == '/') return std::string(state) + "/zelko/service";
  const char* home = std::getenv("HOME");
  return std::string(home == nullptr ? "" : home) + "/.local/state/zelko/service";
}

}  // namespace zelko::service
