#pragma once

#include <memory>

#include "register_control.h"

namespace zelko {

// What the stand-in reads from the process environment when a control is created.

// ZELKO_STANDIN_STRICT=1: the control answers 107 until it sits on a form.
bool StandInStrictMode();

// The register behind the control: ZELKO_STANDIN_REGISTER=tcp:<host>:<port>,
// with ZELKO_CONTROL_TIMEOUT_MS as for the driver. Events that arrive during
// an operation go to `events` before it returns. Without a usable address, a
// register that is not there: every operation 107.
std::unique_ptr<RegisterControl> MakeStandInRegister(RegisterEvents& events);

}  // namespace zelko
