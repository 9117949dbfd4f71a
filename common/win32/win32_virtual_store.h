#pragma once

#include <string>

namespace zelko {

// The copy of a file in a protected place of the system drive that Windows'
// file virtualization keeps for this user ("%LOCALAPPDATA%\VirtualStore\..."):
// a virtualized program (32-bit, without a manifest, such as many tills'
// applications) reads that copy instead of the file once it exists. Empty on
// another drive, and where Windows has no virtualization (no LOCALAPPDATA).
std::string VirtualStoreCopy(const std::string& path);

// Whether this process is virtualized (Windows Vista and later; never with
// the programs' manifest).
bool ProcessIsVirtualized();

}  // namespace zelko
