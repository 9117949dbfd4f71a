#include "register_session.h"

#include "driver_settings.h"
#include "failure_report.h"
#include "status_reply.h"
#include "text.h"

namespace zelko {

namespace {

void ShowGreeting(DriverRun& run) {
  const std::string& message = run.settings.Messaggio;
  const std::string_view trimmed = TrimSpaces(message);
  if (trimmed.empty()) {
    SendRegisterCommand(run, "=D1/(  ZELKO  Collegato )");
  } else if (ToUpperAscii(trimmed) != "NULL") {
    SendRegisterCommand(run, "=D1/(" + message + ")");
  }
}

}  // namespace

std::int32_t SendRegisterCommand(DriverRun& run, const std::string& text) {
  return run.control.SendCommand(0, 0, text);
}

std::int32_t QueryStatus(DriverRun& run, std::string& reply) { return run.control.SendQuery(0, 0, kStatusQuery, reply); }

void OpenRegisterSession(DriverRun& run) {
  DriverSettings& settings = run.settings;
  settings.GestioneErrori = LoadSetting(run.store, kKeyGestioneErrori);
  if (DefaultBlankToS(settings.GestioneErrori)) run.store.Write(kKeyGestioneErrori, settings.GestioneErrori);
  SendRegisterCommand(run, "=K");
  std::string reply;
  const std::int32_t result = QueryStatus(run, reply);
  if (result != kResultSuccess) {
    const std::string message = result == kResultNoHardware ? "ZELKO NON Collegato!" : "ZELKO NON Disponibile!";
    ReportFailureWithBox(run, result, message, settings.GestioneErrori);
  }
  WaitForReadyStatus(run, reply);
  settings.Messaggio = LoadSetting(run.store, kKeyMessaggio);
  ShowGreeting(run);
  std::string ignored;
  run.control.SendQuery(0, 0, "<</?f", ignored);
  settings.ControlloTransazione = LoadSetting(run.store, kKeyControlloTransazione);
  SaveDriverSettings(run.store, settings);
}

void WaitForReadyStatus(DriverRun& run, std::string reply) {
  for (std::int32_t status = StatusCode(reply); status != kStatusReady; status = StatusCode(reply)) {
    if (status == kStatusCoverOpen) {
      run.theOperator.MessageBox("Coperchio APERTO! chiudere il COPERCHIO e premere OK", kStyleInformation,
                                 run.driverTitle);
      run.theOperator.PaceRepeatedPrompt();
    } else {
      ReportFailure(run, status, "");
    }
    QueryStatus(run, reply);
  }
}

}  // namespace zelko
