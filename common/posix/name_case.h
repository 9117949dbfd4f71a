#pragma once

#include <string>

namespace zelko {

// The path with each component spelt as it is on disk: a component that does
// not exist exactly is replaced by a case-insensitive (ASCII) match in its
// folder when there is one; otherwise it and the rest stay as written.
std::string FindNameCase(const std::string& path);

}  // namespace zelko
