#pragma once

#include <iosfwd>
#include <memory>

#include "driver_environment.h"
#include "host_services.h"
#include "operator.h"

namespace zelko {

// The operator that ZELKO_OPERATOR names (the host's default when unset),
// wrapped in the interaction log when ZELKO_OPERATOR_LOG names a file. Its
// script and log are files of `host`; what goes wrong with them is told on
// `diagnostics`, which must outlive the operator.
std::unique_ptr<Operator> SelectOperator(const DriverEnvironment& environment, const HostServices& host,
                                         std::ostream& diagnostics);

}  // namespace zelko
