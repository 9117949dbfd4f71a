#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver_run.h"

namespace zelko {

inline constexpr const char* kDefaultFailureMessage = "Errore Emissione Scontrino";

// Thrown by the failure report to end the run with its outcome.
struct RunEnded {
  ReceiptOutcome outcome;
};

// The run's result lines go to its outputs; returns the outcome with
// `exitStatus`, or with the status of an unwritten result when they could not
// be kept.
ReceiptOutcome Conclude(const RunContext& context, std::string line1, std::string line2, int exitStatus);

// Writes the failure as the result: the code (114 replaced by the control's
// extended code) and the message ("Errore Emissione Scontrino" when empty);
// then closes the port and ends the run. Every failure of the driver ends its
// run, so there is no mode that returns.
[[noreturn]] void ReportFailure(const RunContext& context, std::int32_t code, const std::string& message);

// Shows the failure message box first, unless `gestioneErrori` turns failure boxes off.
[[noreturn]] void ReportFailureWithBox(const RunContext& context, std::int32_t code, const std::string& message,
                                       std::string_view gestioneErrori);

// "Errore interno del driver: <what>".
std::string InternalFailureMessage(std::string_view what);

// A failure that no step foresaw, such as an exception from a backend: its
// result has code 0 like any other failure, so that an earlier "OK" never
// stays, and the port is closed as far as the control still can.
ReceiptOutcome ReportInternalFailure(const RunContext& context, std::string_view what);

}  // namespace zelko
