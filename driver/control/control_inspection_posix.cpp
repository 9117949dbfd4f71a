#include "control_inspection.h"

namespace zelko {

std::vector<ControlFinding> InspectRegisterControl() { return {}; }

}  // namespace zelko
