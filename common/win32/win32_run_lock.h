#pragma once

#include <memory>
#include <string>

#include "host_services.h"

namespace zelko {

// A named mutex in the machine's global namespace, named after the file's
// full path (run_lock.h), so that every run on the file, of any program
// and any user's session, waits for the one holding it. It needs no file, and
// Windows releases it when its holder dies. Null when it cannot be had. With
// `held` given it does not wait: null, with `held` true, while a run holds it.
std::unique_ptr<RunLock> LockWin32RunOn(const std::string& path, bool* held);

}  // namespace zelko
