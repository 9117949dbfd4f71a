#pragma once

#include <memory>
#include <string>

#include "host_services.h"

namespace zelko {

// LockFileEx on a Windows path; the lock dies with the process.
// Null when the file cannot be opened or locked.
std::unique_ptr<RunLock> LockWin32FileForRun(const std::string& path);

}  // namespace zelko
