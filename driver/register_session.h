#pragma once

#include <cstdint>
#include <string>

#include "driver_run.h"
#include "driver_settings.h"
#include "register_commands.h"

namespace zelko {

// Sends the status query "<</?s".
QueryResult QueryStatus(const RunContext& context);

// Proves the register is there and ready, greets on its display and returns
// the driver settings it loaded (and wrote back); ends the run through the
// failure report when it cannot.
DriverSettings OpenRegisterSession(const RunContext& context);

// Returns once a status reply says ready: an open cover is shown to the
// operator and the register asked again; any other fault ends the run.
void WaitForReadyStatus(const RunContext& context, std::string reply);

}  // namespace zelko
