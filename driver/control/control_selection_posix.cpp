#include <iostream>

#include "builtin_emulator_control.h"
#include "control_selection_host.h"

namespace zelko {

// There is no maker's control here: the built-in emulator stands in, and says so.
std::unique_ptr<RegisterControl> MakeHostDefaultControl(const std::string& journalPath,
                                                        const std::string& scenarioPath) {
  std::cerr << "ZelkoDriver: ZELKO_CONTROL is not set; using the built-in register emulator (journal "
            << journalPath << ")\n";
  return MakeBuiltInEmulatorControl(journalPath, scenarioPath);
}

}  // namespace zelko
