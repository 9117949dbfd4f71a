#pragma once

#include <memory>
#include <string>

#include "byte_stream.h"
#include "host_services.h"

namespace zelko {

// Byte streams on POSIX paths (already mapped and case-resolved).
// Null when the file cannot be opened; a folder is not a file.
std::unique_ptr<ByteSource> OpenFileForReading(const std::string& path);
// Null when the file (or, for an atomic replacement, its temporary) cannot be created.
std::unique_ptr<ByteSink> CreateFile(const std::string& path, HostServices::CreateMode mode);

}  // namespace zelko
