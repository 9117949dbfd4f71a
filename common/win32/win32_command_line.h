#pragma once

#include <string>
#include <string_view>

namespace zelko {

// The arguments of a Windows command line the way VB's Command$ gives them:
// the program name (quoted or not) and the blanks after it removed, the rest
// as written, quotes included.
std::string ArgumentsAfterProgramName(std::string_view commandLine);

}  // namespace zelko
