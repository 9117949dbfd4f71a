#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelko {

// The text of a settings file: "[section]" lines, each followed by "Key=Value"
// lines. A line ends at LF, CR LF or a lone CR. Section names and keys match
// ignoring ASCII case (blanks around a key are not part of it); the value is
// every byte after the first "=" up to the line end.

// The value of the first matching key of a matching section; empty when absent.
std::optional<std::string> FindIniValue(std::string_view content, std::string_view section, std::string_view key);

// The content with the key set, every other line kept byte for byte; the key
// is added to the section, and the section to the end, when missing. Lines
// written end with LF. Empty when the key or value cannot be stored (a line
// break in either, an "=" in the key, a key with surrounding blanks or none).
std::optional<std::string> SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                                       std::string_view value);

}  // namespace zelko
