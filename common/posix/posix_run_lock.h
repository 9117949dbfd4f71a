#pragma once

#include <memory>
#include <string>

#include "host_services.h"

namespace zelko {

// An flock on the lock file `name` (run_lock.h) in "<root>/locks", or,
// where that folder takes no file, in a folder of the system's temporary
// folder that every user shares; the lock dies with the process. Null when
// neither can hold the lock file or the lock cannot be had.
std::unique_ptr<RunLock> LockFileForRun(const std::string& root, const std::string& name);
// The same without waiting: null, with `held` true, while another run holds it.
std::unique_ptr<RunLock> TryLockFileForRun(const std::string& root, const std::string& name, bool& held);

}  // namespace zelko
