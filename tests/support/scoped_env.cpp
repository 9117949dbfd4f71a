#include "scoped_env.h"

#include <stdlib.h>

namespace zelko::testing {

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  Set(value);
}

ScopedEnv::~ScopedEnv() { Set(old_); }

void ScopedEnv::Set(const std::optional<std::string>& value) {
#ifdef _WIN32
  // An empty value removes the variable.
  ::_putenv_s(name_, value ? value->c_str() : "");
#else
  if (value) {
    ::setenv(name_, value->c_str(), 1);
  } else {
    ::unsetenv(name_);
  }
#endif
}

}  // namespace zelko::testing
