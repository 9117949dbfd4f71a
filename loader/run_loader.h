#pragma once

#include <cstdint>

#include "host_services.h"

namespace zelko {

// The loader's whole run: command line, "config.cmd", conversion. Returns the
// exit code: 0, or the number of the failure that ended the run.
std::int32_t RunLoader(const HostServices& host);

}  // namespace zelko
