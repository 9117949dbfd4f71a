#pragma once

#include <windows.h>

#include <memory>

#include "register_control.h"

namespace zelko {

// The register control bound to the maker's component by dispatch id: every
// operation is one IDispatch::Invoke with the argument types the component
// declares. A null `control` is a register that is not there (every
// operation 107). Takes its own reference to `control`.
std::unique_ptr<RegisterControl> MakeDispatchRegisterControl(IDispatch* control);

}  // namespace zelko
