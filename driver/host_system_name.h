#pragma once

#include <string>

#include "host_services.h"

namespace zelko {

// The short name of a Windows version ("XP", "VISTA", "SEVEN", ...), empty
// for a combination the table does not name, "Failed" for an unknown platform.
std::string HostSystemNameFor(const WindowsVersion& version);

// The name of the running host; empty when the host cannot give its version numbers.
std::string HostSystemName(const HostServices& host);

}  // namespace zelko
