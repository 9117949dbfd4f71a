#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver_run.h"

namespace zelko {

inline constexpr const char* kDefaultFailureMessage = "Errore Emissione Scontrino";

// Thrown by the failure report to end the run; Main returns its exit status.
struct RunEnded {
  int exitStatus;
};

// Writes the failure into the result file: the code (114 replaced by the
// control's extended code) and the message ("Errore Emissione Scontrino" when
// empty); then closes the port and ends the run. Every failure of the driver
// ends its run, so there is no mode that returns.
[[noreturn]] void ReportFailure(const DriverRun& run, std::int32_t code, const std::string& message);

// Shows the failure message box first, unless `gestioneErrori` turns failure boxes off.
[[noreturn]] void ReportFailureWithBox(const DriverRun& run, std::int32_t code, const std::string& message,
                                       std::string_view gestioneErrori);

// "Errore interno del driver: <what>".
std::string InternalFailureMessage(std::string_view what);

// A failure that no step foresaw, such as an exception from a backend: written
// into the result file with code 0 like any other failure, so that an earlier
// "OK" never stays, and the port closed as far as the control still can.
// Returns the exit status: 1, or 2 when the result file cannot be written.
int ReportInternalFailure(const DriverRun& run, std::string_view what);

}  // namespace zelko
