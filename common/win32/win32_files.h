#pragma once

#include <memory>
#include <string>

#include "byte_stream.h"
#include "host_services.h"

namespace zelko {

// Byte streams on Windows paths through CreateFileA.
// Null when the file cannot be opened; a folder is not a file.
std::unique_ptr<ByteSource> OpenWin32FileForReading(const std::string& path);
// Null when the file (or, for an atomic replacement, its temporary) cannot be created.
std::unique_ptr<ByteSink> CreateWin32File(const std::string& path, HostServices::CreateMode mode);

}  // namespace zelko
