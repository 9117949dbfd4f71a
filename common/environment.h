#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelko {

// The value of `name` among "NAME=value" entries (the first entry of that
// name). A variable that is set but empty counts as unset.
std::optional<std::string> EnvironmentValue(const std::vector<std::string>& entries, std::string_view name);

// The folder that holds the programs' own files (the drive folders and
// settings.ini on POSIX, the built-in emulator's journal): ZELKO_ROOT, else
// <home>/.zelko, where home is HOME or, when HOME is unset, `accountHome`
// (the home folder of the user's account; "." when that is empty too).
std::string ZelkoRootFrom(const std::vector<std::string>& entries, std::string_view accountHome);

}  // namespace zelko
