#include "windows_on_posix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "text.h"

namespace zelko {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string Slashed(std::string_view path) {
  std::string result(path);
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

// The components below a drive folder, "." dropped and ".." taking one back.
std::vector<std::string> DriveComponents(std::string_view rest) {
  std::vector<std::string> components;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('/', start);
    if (end == std::string_view::npos) end = rest.size();
    const std::string_view part = rest.substr(start, end - start);
    if (part == "..") {
      if (!components.empty()) components.pop_back();
    } else if (!part.empty() && part != ".") {
      components.emplace_back(part);
    }
    start = end + 1;
  }
  return components;
}

}  // namespace

MappedPath MapWindowsPath(std::string_view windowsPath, std::string_view root) {
  const bool hasDrive = windowsPath.size() >= 2 && IsAsciiLetter(windowsPath[0]) && windowsPath[1] == ':';
  if (!hasDrive) return {"", Slashed(windowsPath)};

  MappedPath mapped;
  mapped.driveFolder = std::string(root);
  if (mapped.driveFolder.empty() || mapped.driveFolder.back() != '/') mapped.driveFolder += '/';
  mapped.driveFolder += ToLowerAscii(windowsPath.substr(0, 1));
  mapped.path = mapped.driveFolder;
  for (const std::string& component : DriveComponents(Slashed(windowsPath.substr(2)))) {
    mapped.path += '/';
    mapped.path += component;
  }
  return mapped;
}

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

std::optional<WindowsVersion> ParseWindowsVersion(std::string_view text) {
  std::array<std::uint32_t, 4> numbers{};
  const char* position = text.data();
  const char* const end = text.data() + text.size();
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) {
      if (position == end || *position != '.') return std::nullopt;
      ++position;
    }
    // from_chars takes no sign or blank, so only plain digits pass.
    const auto [next, error] = std::from_chars(position, end, numbers[i]);
    if (error != std::errc() || next == position) return std::nullopt;
    position = next;
  }
  if (position != end) return std::nullopt;
  return WindowsVersion{numbers[0], numbers[1], numbers[2], numbers[3]};
}

}  // namespace zelko
