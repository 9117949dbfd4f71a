#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "driver_environment.h"
#include "host_services.h"
#include "register_control.h"

namespace zelko {

// What ZELKO_CONTROL unset means on this platform (one implementation per
// platform): what to call it, and a new control of it.
std::string HostDefaultControlDescription();
std::unique_ptr<RegisterControl> MakeHostDefaultControl(const DriverEnvironment& environment,
                                                        const HostServices& host, std::ostream& diagnostics);

}  // namespace zelko
