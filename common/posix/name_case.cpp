#include "name_case.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <optional>

#include "text.h"

namespace zelko {

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The first name in `folder`, by byte order, that equals `name` ignoring case.
std::optional<std::string> MatchIgnoringCase(const std::string& folder, const std::string& name) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!dir) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string candidate = entry->d_name;
    if (EqualsIgnoreCaseAscii(candidate, name) && (!best || candidate < *best)) best = candidate;
  }
  return best;
}

}  // namespace

std::string FindNameCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;

  std::string resolved = path.front() == '/' ? "/" : "";
  bool found = true;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string component = path.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;

    const std::string folder = resolved;
    if (!resolved.empty() && resolved.back() != '/') resolved += '/';
    if (found && !Exists(resolved + component)) {
      const auto match = MatchIgnoringCase(folder, component);
      if (match) {
        component = *match;
      } else {
        found = false;
      }
    }
    resolved += component;
  }
  if (!path.empty() && path.back() == '/' && resolved.back() != '/') resolved += '/';
  return resolved;
}

}  // namespace zelko
