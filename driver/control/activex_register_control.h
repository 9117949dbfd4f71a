#pragma once

#include <memory>

#include "register_control.h"

namespace zelko {

// The maker's ActiveX control JQTZelko.JqtEcrZelko on the hidden form
// ZelkoForm, which comes into being at the first operation. A control that is
// not registered behaves as a register that is not there (every operation 107).
std::unique_ptr<RegisterControl> MakeActiveXRegisterControl();

}  // namespace zelko
