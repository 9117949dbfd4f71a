#include "path_mapping.h"

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

}  // namespace zelko
