#pragma once

#include <string>

#include "driver_run.h"
#include "driver_settings.h"

namespace zelko {

// Deals with a receipt left open on the register (when ControlloTransazione
// is "S"), or else waits until the register reports ready.
void CheckOpenReceipt(const RunContext& context, const DriverSettings& settings);

// The tail of a fresh status reply, for the success result file.
std::string ReadStatusTail(const RunContext& context);

}  // namespace zelko
