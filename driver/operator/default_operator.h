#pragma once

#include <memory>

#include "operator.h"

namespace zelko {

// The operator of this host when ZELKO_OPERATOR is unset (one implementation per platform).
std::unique_ptr<Operator> MakeDefaultOperator();

// The unattended operator's pause before a prompt repeats, one second (one
// implementation per platform). On Windows the thread's messages are
// dispatched meanwhile, so the control's events still reach their handlers.
void PauseOneSecond();

}  // namespace zelko
