#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "host_services.h"
#include "register_control.h"

namespace zelko {

// The register emulator running inside the driver's process. Every operation
// is appended to the journal, a file of `host`; the scenario file (empty:
// none) scripts faults and events. What keeps either from being used is told
// on `diagnostics`; a scenario that cannot be used leaves the register absent.
std::unique_ptr<RegisterControl> MakeBuiltInEmulatorControl(const HostServices& host, const std::string& journalPath,
                                                            const std::string& scenarioPath,
                                                            std::ostream& diagnostics);

}  // namespace zelko
