#pragma once

#include <string>
#include <string_view>

namespace zelko {

// A Windows path as seen on a POSIX host, where drive X: is the folder
// <root>/x. `driveFolder` is that folder (empty for a path without a drive
// letter); `path` is the whole POSIX path, "\" read as "/". Below the drive
// folder "." and ".." are folded the Windows way, never climbing above it.
struct MappedPath {
  std::string driveFolder;
  std::string path;
};

MappedPath MapWindowsPath(std::string_view windowsPath, std::string_view root);

}  // namespace zelko
