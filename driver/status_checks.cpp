#include "status_checks.h"

#include "register_session.h"
#include "status_reply.h"

namespace zelko {

namespace {

// The operator finishes the receipt on the register; asked again until it is closed.
void WaitForManualCompletion(const RunContext& context) {
  do {
    context.theOperator.Ask("Completare MANUALMENTE la vendita CORRENTE e premere OK", BoxKind::Information,
                        DriverTitle());
    context.theOperator.PaceRepeatedPrompt();
  } while (ReceiptIsOpen(QueryStatus(context).reply));
}

}  // namespace

void CheckOpenReceipt(const RunContext& context, const DriverSettings& settings) {
  std::string reply = QueryStatus(context).reply;
  if (!ReceiptIsOpen(reply)) {
    WaitForReadyStatus(context, reply);
    return;
  }
  if (settings.ControlloTransazione != "S") return;
  const OperatorAnswer answer = context.theOperator.Ask(
      "Scontrino in CORSO sulla cassa!  ANNULLO lo scontrino APERTO e procedo con il SUCCESSIVO?", BoxKind::Question,
      DriverTitle());
  if (answer == OperatorAnswer::Yes) {
    context.control.SendCommand(kCancelReceipt);
  } else {
    WaitForManualCompletion(context);
  }
}

std::string ReadStatusTail(const RunContext& context) {
  return StatusTail(QueryStatus(context).reply);
}

}  // namespace zelko
