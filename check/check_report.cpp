#include "check_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "emulator_protocol.h"
#include "version.h"

namespace zelko {

bool CheckReport::Ok() const {
  const bool checksHold = std::all_of(checks.begin(), checks.end(), [](const Finding& f) { return f.ok; });
  const bool answered = !ports || std::any_of(ports->begin(), ports->end(), [](const PortProbe& p) { return p.answered; });
  return checksHold && answered;
}

std::string ReportText(const CheckReport& report) {
  std::string text = "ZelkoCheck ";
  for (const int number : {kVersionMajor, kVersionMinor, kVersionPatch}) text.append(std::to_string(number)).append(".");
  text.append(std::to_string(kVersionRevision)).append(": controllo della cassa\n");
  for (const Finding& finding : report.checks) {
    text.append(finding.ok ? "[OK] " : "[NO] ").append(finding.id).append(": ").append(finding.text).append("\n");
    if (!finding.remedy.empty()) text += "     da fare: " + finding.remedy + "\n";
  }
  if (report.ports) {
    text += report.ports->empty() ? "Nessuna porta provata.\n" : "Porte provate:\n";
    for (const PortProbe& port : *report.ports) {
      text += "     porta " + port.port + ": " + (port.answered ? "risponde, " : "") + port.status;
      for (const std::string& event : port.events) text += "; " + event;
      text += "\n";
    }
  }
  text += report.Ok() ? "Esito: tutto a posto.\n" : "Esito: ci sono problemi, vedere le righe [NO] qui sopra.\n";
  return text;
}

std::string ReportJson(const CheckReport& report) {
  using nlohmann::json;
  json checks = json::array();
  for (const Finding& finding : report.checks) {
    json check = {{"id", finding.id}, {"ok", finding.ok}, {"text", BytesToProtocolText(finding.text)}};
    if (!finding.remedy.empty()) check["remedy"] = BytesToProtocolText(finding.remedy);
    checks.push_back(std::move(check));
  }
  json body = {{"ok", report.Ok()}, {"checks", std::move(checks)}};
  if (report.ports) {
    json ports = json::array();
    for (const PortProbe& port : *report.ports) {
      json events = json::array();
      for (const std::string& event : port.events) events.push_back(BytesToProtocolText(event));
      ports.push_back({{"port", BytesToProtocolText(port.port)},
                       {"answered", port.answered},
                       {"status", BytesToProtocolText(port.status)},
                       {"reply", BytesToProtocolText(port.reply)},
                       {"events", std::move(events)}});
    }
    body["ports"] = std::move(ports);
  }
  return body.dump();
}

}  // namespace zelko
