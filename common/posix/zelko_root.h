#pragma once

#include <string>

namespace zelko {

// The folder that holds the drive folders and settings.ini:
// ZELKO_ROOT, or $HOME/.zelko when it is unset or empty.
std::string ZelkoRoot();

}  // namespace zelko
