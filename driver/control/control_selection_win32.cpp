#include "activex_register_control.h"
#include "control_selection_host.h"

namespace zelko {

// On Windows the register is reached through the maker's control.
std::string HostDefaultControlDescription() {
  return "the maker's control JQTZelko.JqtEcrZelko (ZELKO_CONTROL unset)";
}

std::unique_ptr<RegisterControl> MakeHostDefaultControl(const DriverEnvironment&, const HostServices&,
                                                        std::ostream& diagnostics) {
  return MakeActiveXRegisterControl(diagnostics);
}

}  // namespace zelko
