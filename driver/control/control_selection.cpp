#include "control_selection.h"

#include <ostream>

#include "builtin_emulator_control.h"
#include "control_selection_host.h"
#include "control_trace.h"
#include "tcp_register_control.h"

namespace zelko {

namespace {

// A register that is not there: every operation finds no hardware.
class AbsentRegisterControl final : public RegisterControl {
 public:
  void SetEventHandler(RegisterEvents*) override {}
  std::int32_t ClosePort() override { return kResultNoHardware; }
  std::int32_t OpenPort(std::string_view) override { return kResultNoHardware; }
  void SetHighSpeed(bool) override {}
  std::int32_t SendCommand(std::string_view) override { return kResultNoHardware; }
  QueryResult SendQuery(std::string_view) override { return {kResultNoHardware, {}}; }
  std::int32_t ResultCodeExtended() override { return 0; }
};

}  // namespace

std::unique_ptr<RegisterControl> MakeAbsentRegisterControl() { return std::make_unique<AbsentRegisterControl>(); }

std::unique_ptr<RegisterControl> ControlSelection::Make(std::ostream& diagnostics) const {
  auto control = make_(diagnostics);
  if (trace_.empty()) return control;
  return TraceControl(std::move(control), host_, trace_, diagnostics);
}

ControlSelection::ControlSelection(const DriverEnvironment& environment, const HostServices& host)
    : host_(host), trace_(environment.controlLog) {
  const ControlChoice& choice = environment.control;
  switch (choice.kind) {
    case ControlChoice::Kind::HostDefault:
      description_ = HostDefaultControlDescription();
      make_ = [environment, &host](std::ostream& diagnostics) {
        return MakeHostDefaultControl(environment, host, diagnostics);
      };
      return;
    case ControlChoice::Kind::BuiltInEmulator:
      description_ = "built-in emulator";
      make_ = [environment, &host](std::ostream& diagnostics) {
        return MakeBuiltInEmulatorControl(host, environment.emulatorJournal, environment.emulatorScenario,
                                          diagnostics);
      };
      return;
    case ControlChoice::Kind::Tcp:
      description_ = "tcp:" + choice.host + ":" + choice.port;
      make_ = [choice, timeout = environment.controlTimeout](std::ostream&) {
        return MakeTcpRegisterControl(choice.host, choice.port, timeout);
      };
      return;
    case ControlChoice::Kind::Absent:
      break;
  }
  description_ = "none: ZELKO_CONTROL=" + environment.controlSetting + " names no register";
  make_ = [setting = environment.controlSetting](std::ostream& diagnostics) {
    diagnostics << "ZELKO_CONTROL=\"" << setting << "\" names no register control; the register is treated as not "
                << "connected\n";
    return MakeAbsentRegisterControl();
  };
}

}  // namespace zelko
