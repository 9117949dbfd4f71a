#pragma once

#include <cstdint>
#include <string>

#include "driver_run.h"

namespace zelko {

inline constexpr const char* kStatusQuery = "<</?s";

// Sends the status query "<</?s".
QueryResult QueryStatus(DriverRun& run);

// Proves the register is there and ready, greets on its display and loads the
// driver settings; ends the run through the failure report when it cannot.
void OpenRegisterSession(DriverRun& run);

// Returns once a status reply says ready: an open cover is shown to the
// operator and the register asked again; any other fault ends the run.
void WaitForReadyStatus(DriverRun& run, std::string reply);

}  // namespace zelko
