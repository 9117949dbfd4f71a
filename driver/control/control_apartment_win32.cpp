#include <objbase.h>

#include "control_apartment.h"

namespace zelko {

ControlApartment::ControlApartment() { started_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

ControlApartment::~ControlApartment() {
  if (started_) CoUninitialize();
}

}  // namespace zelko
