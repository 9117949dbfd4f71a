#pragma once

#include <memory>

#include "operator.h"

namespace zelko {

// The operator of this host when ZELKO_OPERATOR is unset (one implementation per platform).
std::unique_ptr<Operator> MakeDefaultOperator();

}  // namespace zelko
