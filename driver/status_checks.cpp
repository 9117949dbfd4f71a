#include "status_checks.h"

#include "register_session.h"
#include "status_reply.h"

namespace zelko {

namespace {

// The operator finishes the receipt on the register; asked again until it is closed.
void WaitForManualCompletion(const DriverRun& run) {
  do {
    run.theOperator.Ask("Completare MANUALMENTE la vendita CORRENTE e premere OK", BoxKind::Information,
                        DriverTitle());
    run.theOperator.PaceRepeatedPrompt();
  } while (ReceiptIsOpen(QueryStatus(run).reply));
}

}  // namespace

void CheckOpenReceipt(const DriverRun& run, const DriverSettings& settings) {
  std::string reply = QueryStatus(run).reply;
  if (!ReceiptIsOpen(reply)) {
    WaitForReadyStatus(run, reply);
    return;
  }
  if (settings.ControlloTransazione != "S") return;
  const OperatorAnswer answer = run.theOperator.Ask(
      "Scontrino in CORSO sulla cassa!  ANNULLO lo scontrino APERTO e procedo con il SUCCESSIVO?", BoxKind::Question,
      DriverTitle());
  if (answer == OperatorAnswer::Yes) {
    run.control.SendCommand(kCancelReceipt);
  } else {
    WaitForManualCompletion(run);
  }
}

std::string ReadStatusTail(const DriverRun& run) {
  return StatusTail(QueryStatus(run).reply);
}

}  // namespace zelko
