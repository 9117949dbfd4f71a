#include "register_probe.h"

#include "file_locations.h"
#include "host_system_name.h"
#include "register_commands.h"
#include "status_reply.h"

namespace zelko {

namespace {

// The events that arrive while the register is probed, by name.
class NamedEvents final : public RegisterEvents {
 public:
  void StatusUpdate(std::int32_t code) override {
    switch (code) {
      case kReceiptEmpty:
        names.push_back("carta dello scontrino finita (24)");
        break;
      case kReceiptPaperOk:
        names.push_back("carta dello scontrino presente (26)");
        break;
      case kJournalEmpty:
        names.push_back("carta del giornale finita (21)");
        break;
      case kJournalPaperOk:
        names.push_back("carta del giornale presente (23)");
        break;
      default:
        names.push_back("stato " + std::to_string(code));
        break;
    }
  }
  void DataReceived(const std::string& text) override { names.push_back("dati: " + text); }

  std::vector<std::string> names;
};

std::string StatusMeaning(const std::string& reply) {
  const std::int32_t code = StatusCode(reply);
  std::string meaning = code == kStatusReady       ? "pronto"
                        : code == kStatusCoverOpen ? "coperchio aperto"
                                                   : "guasto " + std::to_string(code);
  if (ReceiptIsOpen(reply)) meaning += ", scontrino aperto";
  return meaning + ", coda " + StatusTail(reply);
}

}  // namespace

PortProbe ProbePort(RegisterControl& control, const std::string& port) {
  NamedEvents events;
  control.SetEventHandler(&events);
  control.ClosePort();
  control.SetHighSpeed(true);
  control.OpenPort(port);
  const QueryResult status = control.SendQuery(kStatusQuery);
  control.ClosePort();
  control.SetEventHandler(nullptr);
  PortProbe probe{port, status.code == kResultSuccess, {}, status.reply, std::move(events.names)};
  probe.status = probe.answered ? StatusMeaning(status.reply)
                                : "nessuna risposta (codice " + std::to_string(status.code) + ")";
  return probe;
}

std::vector<PortProbe> ProbeRegister(const HostServices& host, const ControlSelection& controls,
                                     const std::vector<std::string>& ports, bool answeredOnly,
                                     std::ostream& diagnostics) {
  bool held = false;
  const auto lock = host.TryLockForRun(LocateFiles(HostSystemName(host), host).commandFilePath, held);
  if (held) return {};
  const auto control = controls.Make(diagnostics);
  std::vector<PortProbe> probes;
  for (const std::string& port : ports) {
    PortProbe probe = ProbePort(*control, port);
    if (probe.answered || !answeredOnly) probes.push_back(std::move(probe));
  }
  return probes;
}

}  // namespace zelko
