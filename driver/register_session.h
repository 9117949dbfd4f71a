#pragma once

#include <cstdint>
#include <string>

#include "driver_run.h"

namespace zelko {

inline constexpr const char* kStatusQuery = "<</?s";

// Sends a register command with the fixed leading arguments.
std::int32_t SendRegisterCommand(DriverRun& run, const std::string& text);
// Sends the status query "<</?s"; `reply` receives the register's answer.
std::int32_t QueryStatus(DriverRun& run, std::string& reply);

// Proves the register is there and ready, greets on its display and loads the
// driver settings; ends the run through the failure report when it cannot.
void OpenRegisterSession(DriverRun& run);

// Returns once a status reply says ready: an open cover is shown to the
// operator and the register asked again; any other fault ends the run.
void WaitForReadyStatus(DriverRun& run, std::string reply);

}  // namespace zelko
