#include "control_apartment.h"

namespace zelko {

ControlApartment::ControlApartment() = default;
ControlApartment::~ControlApartment() = default;

}  // namespace zelko
