#pragma once

#include <cstdint>
#include <iostream>

#include "host_services.h"
#include "loader_failure.h"

namespace zelko {

// The loader's whole run: command line, "config.cmd", conversion. Returns the
// exit code: 0, or the number of the failure that ended the run. A run that
// cannot keep other runs off its output file says so on `diagnostics`.
std::int32_t RunLoader(const HostServices& host, std::ostream& diagnostics = std::cerr);
// The same run, telling the failure that ended it with its description;
// number 0 when it succeeded.
LoaderFailure RunLoaderWithReason(const HostServices& host, std::ostream& diagnostics = std::cerr);

}  // namespace zelko
