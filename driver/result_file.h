#pragma once

#include <string>

#include "driver_run.h"
#include "host_services.h"

namespace zelko {

// Replaces the result file with its two lines, atomically, so a caller never
// reads half of it. False when it could not be written (the old file then stays).
bool WriteResultFile(const HostServices& host, const std::string& path, const std::string& line1,
                     const std::string& line2);

// Writes the run's result file; returns `exitStatus`, or the status for an
// unwritten result file after telling the diagnostics why.
int WriteRunResult(const DriverRun& run, const std::string& line1, const std::string& line2, int exitStatus);

}  // namespace zelko
