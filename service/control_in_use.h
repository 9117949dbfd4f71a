#pragma once

#include <string>

#include "driver_environment.h"

namespace zelko::service {

// The register control that ZELKO_CONTROL selects, in words for the status.
std::string ControlInUse(const DriverEnvironment& environment);

}  // namespace zelko::service
