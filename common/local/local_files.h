#pragma once

#include <memory>
#include <optional>
#include <string>

#include "byte_stream.h"
#include "host_services.h"

namespace zelko {

// The host backends' files: byte streams on paths of the machine the program
// runs on (already mapped and case-resolved on POSIX), implemented once per
// platform and seen by nothing but the backends (everything else reaches
// files through HostServices). Only regular files are opened: a folder, a
// device, a FIFO or a socket is refused at once, never waited on, truncated
// or replaced.

// Null when the file cannot be opened or is not a regular file.
std::unique_ptr<ByteSource> OpenFileForReading(const std::string& path);

// Null when the file cannot be created, or something other than a regular
// file stands at the path. A symbolic link is followed: the file it leads to
// is written (for an atomic replacement, replaced beside itself, or written
// in place when nothing can be made beside it) and the link stays.
std::unique_ptr<ByteSink> CreateFileForWriting(const std::string& path, HostServices::CreateMode mode);

// HostServices::EmptyFile on a path of this machine.
bool EmptyLocalFile(const std::string& path);

// HostServices::ProbeWrite on a path of this machine: the temporary that an
// atomic replacement would make is made and removed again.
HostServices::WriteAccess ProbeLocalWrite(const std::string& path);

// Appends to the file, creating it when missing; each Write goes to the end.
// Null on the same grounds as above.
std::unique_ptr<ByteSink> OpenFileForAppending(const std::string& path);

// Both paths lead to one existing file: the same device and inode on POSIX,
// the same volume serial number and file index on Windows.
bool IsSameLocalFile(const std::string& a, const std::string& b);

}  // namespace zelko
