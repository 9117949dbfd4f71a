#include "failure_report.h"

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

}  // namespace zelko
