#include "failure_report.h"

#include <exception>
#include <ostream>

#include "driver_settings.h"
#include "result_file.h"

namespace zelko {

void ReportFailure(const DriverRun& run, std::int32_t code, const std::string& message) {
  if (code == kResultExtended) code = run.control.ResultCodeExtended();
  const int exitStatus = WriteRunResult(run, std::to_string(code), message.empty() ? kDefaultFailureMessage : message,
                                        kExitFailureReported);
  // The result file is complete before the port closes.
  run.control.ClosePort();
  throw RunEnded{exitStatus};
}

void ReportFailureWithBox(const DriverRun& run, std::int32_t code, const std::string& message,
                          std::string_view gestioneErrori) {
  if (!SuppressesFailureBoxes(gestioneErrori)) run.theOperator.Ask(message, BoxKind::Stop, DriverTitle());
  ReportFailure(run, code, message);
}

std::string InternalFailureMessage(std::string_view what) {
  return "Errore interno del driver: " + std::string(what);
}

int ReportInternalFailure(const DriverRun& run, std::string_view what) {
  run.diagnostics << "ZelkoDriver: internal failure: " << what << "\n";
  const int exitStatus = WriteRunResult(run, "0", InternalFailureMessage(what), kExitFailureReported);
  try {
    run.control.ClosePort();
  } catch (const std::exception& error) {
    run.diagnostics << "ZelkoDriver: the port could not be closed: " << error.what() << "\n";
  }
  return exitStatus;
}

}  // namespace zelko
