#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelko {

// Texts cross the emulator protocol as JSON strings whose code points
// U+0000..U+00FF are the text's bytes, one code point per byte, so that any
// byte survives. These turn bytes into that UTF-8 form and back.
std::string BytesToProtocolText(std::string_view bytes);
// Empty when the UTF-8 is malformed or holds a code point above U+00FF.
std::optional<std::string> ProtocolTextToBytes(std::string_view utf8);

}  // namespace zelko
