#pragma once

#include <memory>

#include "operator.h"

namespace zelko {

// The operator named by ZELKO_OPERATOR (the host's default when unset),
// wrapped in the interaction log when ZELKO_OPERATOR_LOG names a file.
std::unique_ptr<Operator> SelectOperator();

}  // namespace zelko
