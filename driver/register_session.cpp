#include "register_session.h"

#include <utility>

#include "driver_settings.h"
#include "failure_report.h"
#include "status_reply.h"
#include "text.h"

namespace zelko {

namespace {

void ShowGreeting(const RunContext& context, const std::string& message) {
  const std::string_view trimmed = TrimSpaces(message);
  if (trimmed.empty()) {
    context.control.SendCommand("=D1/(  ZELKO  Collegato )");
  } else if (ToUpperAscii(trimmed) != "NULL") {
    context.control.SendCommand(std::string(kDisplayPrefix) + message + ")");
  }
}

}  // namespace

QueryResult QueryStatus(const RunContext& context) { return context.control.SendQuery(kStatusQuery); }

DriverSettings OpenRegisterSession(const RunContext& context) {
  DriverSettings settings;
  settings.GestioneErrori = LoadSetting(context.store, kKeyGestioneErrori);
  if (DefaultBlankToS(settings.GestioneErrori)) context.store.Write(kKeyGestioneErrori, settings.GestioneErrori);
  context.control.SendCommand(kClearRegister);
  QueryResult status = QueryStatus(context);
  if (status.code != kResultSuccess) {
    const std::string message = status.code == kResultNoHardware ? "ZELKO NON Collegato!" : "ZELKO NON Disponibile!";
    ReportFailureWithBox(context, status.code, message, settings.GestioneErrori);
  }
  WaitForReadyStatus(context, std::move(status.reply));
  settings.Messaggio = LoadSetting(context.store, kKeyMessaggio);
  ShowGreeting(context, settings.Messaggio);
  context.control.SendQuery("<</?f");
  settings.ControlloTransazione = LoadSetting(context.store, kKeyControlloTransazione);
  SaveDriverSettings(context.store, settings);
  return settings;
}

void WaitForReadyStatus(const RunContext& context, std::string reply) {
  for (std::int32_t status = StatusCode(reply); status != kStatusReady; status = StatusCode(reply)) {
    if (status == kStatusCoverOpen) {
      context.theOperator.Ask("Coperchio APERTO! chiudere il COPERCHIO e premere OK", BoxKind::Information,
                          DriverTitle());
      context.theOperator.PaceRepeatedPrompt();
    } else {
      ReportFailure(context, status, "");
    }
    reply = QueryStatus(context).reply;
  }
}

}  // namespace zelko
