#pragma once

#include <memory>

#include "driver_environment.h"
#include "register_control.h"

namespace zelko {

// The register control that ZELKO_CONTROL names (the host's default when unset).
std::unique_ptr<RegisterControl> SelectRegisterControl(const DriverEnvironment& environment);
// A register that is not there: every operation finds no hardware (107).
std::unique_ptr<RegisterControl> MakeAbsentRegisterControl();

}  // namespace zelko
