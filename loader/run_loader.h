#pragma once

#include <cstdint>
#include <iosfwd>

#include "host_services.h"

namespace zelko {

// The loader's whole run: command line, "config.cmd", conversion. Returns the
// exit code: 0, or the number of the failure that ended the run. A run that
// cannot keep other runs off its output file says so on `diagnostics`.
std::int32_t RunLoader(const HostServices& host, std::ostream& diagnostics);

}  // namespace zelko
