#include "zelko_root.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace zelko {

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return ".";
}

}  // namespace

std::string ZelkoRoot() {
  if (const char* root = std::getenv("ZELKO_ROOT"); root && *root) return root;
  return HomeFolder() + "/.zelko";
}

}  // namespace zelko
