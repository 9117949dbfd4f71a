#pragma once

#include <optional>
#include <string>

namespace zelko::testing {

// Sets an environment variable for one scope (nothing: removes it) and puts
// the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value);

  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace zelko::testing
