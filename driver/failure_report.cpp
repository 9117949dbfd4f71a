#include "failure_report.h"

#include <exception>
#include <ostream>

#include "driver_settings.h"

namespace zelko {

ReceiptOutcome Conclude(const RunContext& context, std::string line1, std::string line2, int exitStatus) {
  const bool kept = context.outputs.Result(line1, line2);
  return {std::move(line1), std::move(line2), kept ? exitStatus : kExitResultNotWritten};
}

void ReportFailure(const RunContext& context, std::int32_t code, const std::string& message) {
  if (code == kResultExtended) code = context.control.ResultCodeExtended();
  ReceiptOutcome outcome = Conclude(context, std::to_string(code), message.empty() ? kDefaultFailureMessage : message,
                                    kExitFailureReported);
  // The result is complete before the port closes.
  context.control.ClosePort();
  throw RunEnded{std::move(outcome)};
}

void ReportFailureWithBox(const RunContext& context, std::int32_t code, const std::string& message,
                          std::string_view gestioneErrori) {
  if (!SuppressesFailureBoxes(gestioneErrori)) context.theOperator.Ask(message, BoxKind::Stop, DriverTitle());
  ReportFailure(context, code, message);
}

std::string InternalFailureMessage(std::string_view what) {
  return "Errore interno del driver: " + std::string(what);
}

ReceiptOutcome ReportInternalFailure(const RunContext& context, std::string_view what) {
  context.diagnostics << "internal failure: " << what << "\n";
  ReceiptOutcome outcome = Conclude(context, "0", InternalFailureMessage(what), kExitFailureReported);
  try {
    context.control.ClosePort();
  } catch (const std::exception& error) {
    context.diagnostics << "the port could not be closed: " << error.what() << "\n";
  }
  return outcome;
}

}  // namespace zelko
