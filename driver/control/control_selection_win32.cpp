#include "activex_register_control.h"
#include "control_selection_host.h"

namespace zelko {

// On Windows the register is reached through the maker's control.
std::unique_ptr<RegisterControl> MakeHostDefaultControl(const std::string&, const std::string&) {
  return MakeActiveXRegisterControl();
}

}  // namespace zelko
