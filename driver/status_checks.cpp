#include "status_checks.h"

#include "register_session.h"
#include "status_reply.h"

namespace zelko {

namespace {

// The operator finishes the receipt on the register; asked again until it is closed.
void WaitForManualCompletion(DriverRun& run) {
  std::string reply;
  do {
    run.theOperator.MessageBox("Completare MANUALMENTE la vendita CORRENTE e premere OK", kStyleInformation,
                               run.driverTitle);
    run.theOperator.PaceRepeatedPrompt();
    QueryStatus(run, reply);
  } while (ReceiptIsOpen(reply));
}

}  // namespace

void CheckOpenReceipt(DriverRun& run) {
  std::string reply;
  QueryStatus(run, reply);
  if (!ReceiptIsOpen(reply)) {
    WaitForReadyStatus(run, reply);
    return;
  }
  if (run.settings.ControlloTransazione != "S") return;
  const OperatorAnswer answer = run.theOperator.MessageBox(
      "Scontrino in CORSO sulla cassa!  ANNULLO lo scontrino APERTO e procedo con il SUCCESSIVO?", kStyleQuestion,
      run.driverTitle);
  if (answer == OperatorAnswer::Yes) {
    SendRegisterCommand(run, "=k");
  } else {
    WaitForManualCompletion(run);
  }
}

std::string ReadStatusTail(DriverRun& run) {
  std::string reply;
  QueryStatus(run, reply);
  return StatusTail(reply);
}

}  // namespace zelko
