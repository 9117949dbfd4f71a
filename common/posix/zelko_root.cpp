#include <pwd.h>
#include <unistd.h>

#include "environment.h"
#include "host_backend.h"

extern char** environ;

namespace zelko {

std::vector<std::string> ProcessEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; entry && *entry; ++entry) entries.emplace_back(*entry);
  return entries;
}

std::string ZelkoRoot() {
  const passwd* account = ::getpwuid(::getuid());
  return ZelkoRootFrom(ProcessEnvironment(), account && account->pw_dir ? account->pw_dir : "");
}

}  // namespace zelko
