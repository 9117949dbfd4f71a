#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "host_services.h"

namespace zelko {

// The name of the lock that every run on one file takes (a driver run on the
// receipt command file, a loader run writing it, a run of the service), made
// from the file's full path: the path is folded to lower case, so that
// "c:\SCONTRINO.INP" and "C:\Scontrino.inp" are one lock however the name is
// written and whether or not the file exists yet. The name holds only
// letters, digits, "-", "_" and "." (it serves as a file name and as the name
// of a kernel object): a hash of the folded path, then its last component.
std::string RunLockName(std::string_view fullPath);

// Waits until this run alone works on the file at `path`. When the lock
// cannot be had, the run goes on without it, and one line on `diagnostics`
// says so.
std::unique_ptr<RunLock> LockRunsOn(const HostServices& host, const std::string& path, std::ostream& diagnostics);

}  // namespace zelko
