#pragma once

#include <memory>

#include "register_control.h"

namespace zelko {

// The register control named by ZELKO_CONTROL (the host's default when unset).
std::unique_ptr<RegisterControl> SelectRegisterControl();

}  // namespace zelko
