#pragma once

#include <string>

#include "driver_run.h"

namespace zelko {

// Deals with a receipt left open on the register (when ControlloTransazione
// is "S"), or else waits until the register reports ready.
void CheckOpenReceipt(DriverRun& run);

// The tail of a fresh status reply, for the success result file.
std::string ReadStatusTail(DriverRun& run);

}  // namespace zelko
