#include <ostream>

#include "builtin_emulator_control.h"
#include "control_selection_host.h"

namespace zelko {

// There is no maker's control here: the built-in emulator stands in, and says so.
std::string HostDefaultControlDescription() { return "built-in emulator (ZELKO_CONTROL unset)"; }

std::unique_ptr<RegisterControl> MakeHostDefaultControl(const DriverEnvironment& environment,
                                                        const HostServices& host, std::ostream& diagnostics) {
  diagnostics << "ZELKO_CONTROL is not set; using the built-in register emulator (journal "
              << environment.emulatorJournal << ")\n";
  return MakeBuiltInEmulatorControl(host, environment.emulatorJournal, environment.emulatorScenario, diagnostics);
}

}  // namespace zelko
