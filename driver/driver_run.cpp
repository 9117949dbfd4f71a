#include "driver_run.h"

#include <exception>
#include <functional>
#include <ostream>

#include "driver_settings.h"
#include "failure_report.h"
#include "notifications.h"
#include "receipt_commands.h"
#include "register_session.h"
#include "status_checks.h"
#include "version.h"

namespace zelko {

namespace {

void OpenRegisterPort(const RunContext& context, const Receipt& receipt) {
  context.control.ClosePort();
  if (AsksForHighSpeed(receipt.speed)) context.control.SetHighSpeed(true);
  context.control.OpenPort(receipt.port);
}

ReceiptOutcome RunSteps(const Receipt& receipt, const RunContext& context) {
  if (context.progress) context.progress->CommandsToSend(receipt.FoundLines());
  OpenRegisterPort(context, receipt);
  const DriverSettings settings = OpenRegisterSession(context);
  CheckOpenReceipt(context, settings);
  const bool stopped = SendReceiptCommands(context, settings, receipt.commandLines);
  std::string closingStatus = stopped ? "0000" : ReadStatusTail(context);
  context.control.ClosePort();
  context.outputs.EndOfData();
  return Conclude(context, std::move(closingStatus), "OK", kExitSuccess);
}

// Runs the steps with the register's events handled, to the outcome of the
// failure that ended them, if any; the data lines end with the run.
ReceiptOutcome WithNotifications(const RunContext& context, const std::function<ReceiptOutcome()>& steps) {
  RegisterNotifications notifications(context.theOperator, context.outputs, context.diagnostics);
  context.control.SetEventHandler(&notifications);
  ReceiptOutcome outcome;
  try {
    outcome = steps();
  } catch (const RunEnded& ended) {
    outcome = ended.outcome;
  } catch (const std::exception& error) {
    outcome = ReportInternalFailure(context, error.what());
  } catch (...) {
    outcome = ReportInternalFailure(context, "eccezione sconosciuta");
  }
  context.outputs.EndOfData();
  context.control.SetEventHandler(nullptr);
  return outcome;
}

}  // namespace

const std::string& DriverTitle() {
  static const std::string title = "JQT ZELKO Driver rel." + std::to_string(kVersionMajor) + "." +
                                   std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
  return title;
}

ReceiptOutcome RunReceipt(const Receipt& receipt, const RunContext& context) {
  return WithNotifications(context, [&] { return RunSteps(receipt, context); });
}

ReceiptOutcome ReportUnrunnableReceipt(const std::string& message, const RunContext& context) {
  return WithNotifications(context, [&]() -> ReceiptOutcome {
    ReportFailureWithBox(context, 0, message, LoadSetting(context.store, kKeyGestioneErrori));
  });
}

}  // namespace zelko
