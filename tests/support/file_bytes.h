#pragma once

#include <cstddef>
#include <string>

namespace zelko::testing {

// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// Writes the file, making the folders above it.
void WriteBytes(const std::string& path, const std::string& bytes);
// How many entries the folder holds.
std::size_t EntryCount(const std::string& folder);

}  // namespace zelko::testing
