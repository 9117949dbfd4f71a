#pragma once

#include <memory>

#include "driver_environment.h"
#include "operator.h"

namespace zelko {

// The operator that ZELKO_OPERATOR names (the host's default when unset),
// wrapped in the interaction log when ZELKO_OPERATOR_LOG names a file.
std::unique_ptr<Operator> SelectOperator(const DriverEnvironment& environment);

}  // namespace zelko
