#pragma once

#include <memory>
#include <string>

#include "host_services.h"

namespace zelko {

// An flock on a POSIX path (already mapped and case-resolved); the lock dies
// with the process. Null when the file cannot be opened or locked.
std::unique_ptr<RunLock> LockFileForRun(const std::string& path);

}  // namespace zelko
