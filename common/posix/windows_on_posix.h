#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host_services.h"

// How a POSIX host plays a Windows machine: its drives are folders, names are
// found the Windows way, and its Windows version is the one it is given.
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

// The path with each component spelt as it is on disk: a component that does
// not exist exactly is replaced by a case-insensitive (ASCII) match in its
// folder when there is one; otherwise it and the rest stay as written.
std::string FindNameCase(const std::string& path);

// "platform.major.minor.build" as four decimal numbers; anything else is empty.
std::optional<WindowsVersion> ParseWindowsVersion(std::string_view text);

}  // namespace zelko
