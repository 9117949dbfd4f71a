#pragma once

#include <iosfwd>
#include <memory>

#include "register_control.h"

namespace zelko {

// The maker's ActiveX control JQTZelko.JqtEcrZelko on the hidden form
// ZelkoForm, which comes into being at the first operation. A control that is
// not registered behaves as a register that is not there (every operation 107).
// Why the form or the control could not be made is told on `diagnostics`.
std::unique_ptr<RegisterControl> MakeActiveXRegisterControl(std::ostream& diagnostics);

}  // namespace zelko
