#include "register_session.h"

#include <utility>

#include "driver_settings.h"
#include "failure_report.h"
#include "status_reply.h"
#include "text.h"

namespace zelko {

namespace {

void ShowGreeting(const DriverRun& run, const std::string& message) {
  const std::string_view trimmed = TrimSpaces(message);
  if (trimmed.empty()) {
    run.control.SendCommand("=D1/(  ZELKO  Collegato )");
  } else if (ToUpperAscii(trimmed) != "NULL") {
    run.control.SendCommand(std::string(kDisplayPrefix) + message + ")");
  }
}

}  // namespace

QueryResult QueryStatus(const DriverRun& run) { return run.control.SendQuery(kStatusQuery); }

DriverSettings OpenRegisterSession(const DriverRun& run) {
  DriverSettings settings;
  settings.GestioneErrori = LoadSetting(run.store, kKeyGestioneErrori);
  if (DefaultBlankToS(settings.GestioneErrori)) run.store.Write(kKeyGestioneErrori, settings.GestioneErrori);
  run.control.SendCommand(kClearRegister);
  QueryResult status = QueryStatus(run);
  if (status.code != kResultSuccess) {
    const std::string message = status.code == kResultNoHardware ? "ZELKO NON Collegato!" : "ZELKO NON Disponibile!";
    ReportFailureWithBox(run, status.code, message, settings.GestioneErrori);
  }
  WaitForReadyStatus(run, std::move(status.reply));
  settings.Messaggio = LoadSetting(run.store, kKeyMessaggio);
  ShowGreeting(run, settings.Messaggio);
  run.control.SendQuery("<</?f");
  settings.ControlloTransazione = LoadSetting(run.store, kKeyControlloTransazione);
  SaveDriverSettings(run.store, settings);
  return settings;
}

void WaitForReadyStatus(const DriverRun& run, std::string reply) {
  for (std::int32_t status = StatusCode(reply); status != kStatusReady; status = StatusCode(reply)) {
    if (status == kStatusCoverOpen) {
      run.theOperator.Ask("Coperchio APERTO! chiudere il COPERCHIO e premere OK", BoxKind::Information,
                          DriverTitle());
      run.theOperator.PaceRepeatedPrompt();
    } else {
      ReportFailure(run, status, "");
    }
    reply = QueryStatus(run).reply;
  }
}

}  // namespace zelko
