#pragma once

#include <string>
#include <string_view>

namespace zelko {

// The lock that a driver run and a loader run on the same receipt command
// file (or record file) both hold, so that neither reads or replaces it while
// the other is at work: the file's own path with its name lower-cased and
// ".lock" added. Lower-casing the name makes "c:\SCONTRINO.INP" and
// "C:\Scontrino.inp" one lock where names are found ignoring case and the
// lock file does not exist yet.
std::string CommandFileLockPath(std::string_view commandFilePath);

}  // namespace zelko
