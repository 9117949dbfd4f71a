#include "control_inspection.h"

namespace zelko {

std::vector<Finding> InspectRegisterControl() { return {}; }

}  // namespace zelko
