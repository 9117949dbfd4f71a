#pragma once

#include <memory>
#include <string>

#include "register_control.h"

namespace zelko {

// The register emulator running inside the driver's process. Every operation
// is appended to the journal file; the scenario file (empty: none) scripts
// faults and events.
std::unique_ptr<RegisterControl> MakeBuiltInEmulatorControl(const std::string& journalPath,
                                                            const std::string& scenarioPath);

}  // namespace zelko
