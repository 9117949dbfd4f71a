#pragma once

#include <memory>
#include <string>

#include "register_control.h"

namespace zelko {

// The control used when ZELKO_CONTROL is unset; one implementation per platform.
std::unique_ptr<RegisterControl> MakeHostDefaultControl(const std::string& journalPath,
                                                        const std::string& scenarioPath);

}  // namespace zelko
