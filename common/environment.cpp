#include "environment.h"

namespace zelko {

std::optional<std::string> EnvironmentValue(const std::vector<std::string>& entries, std::string_view name) {
  for (const std::string& entry : entries) {
    if (entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=') {
      std::string value = entry.substr(name.size() + 1);
      if (value.empty()) return std::nullopt;
      return value;
    }
  }
  return std::nullopt;
}

std::string ZelkoRootFrom(const std::vector<std::string>& entries, std::string_view accountHome) {
  if (auto root = EnvironmentValue(entries, "ZELKO_ROOT")) return *root;
  if (auto home = EnvironmentValue(entries, "HOME")) return *home + "/.zelko";
  return (accountHome.empty() ? std::string(".") : std::string(accountHome)) + "/.zelko";
}

}  // namespace zelko
