#include "control_selection.h"

#include <iostream>

#include "builtin_emulator_control.h"
#include "control_selection_host.h"
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

std::unique_ptr<RegisterControl> SelectRegisterControl(const DriverEnvironment& environment) {
  const ControlChoice& choice = environment.control;
  switch (choice.kind) {
    case ControlChoice::Kind::HostDefault:
      return MakeHostDefaultControl(environment.emulatorJournal, environment.emulatorScenario);
    case ControlChoice::Kind::BuiltInEmulator:
      return MakeBuiltInEmulatorControl(environment.emulatorJournal, environment.emulatorScenario);
    case ControlChoice::Kind::Tcp:
      return MakeTcpRegisterControl(choice.host, choice.port, environment.controlTimeout);
    case ControlChoice::Kind::Absent:
      break;
  }
  std::cerr << "ZelkoDriver: ZELKO_CONTROL=\"" << environment.controlSetting
            << "\" names no register control; the register is treated as not connected\n";
  return MakeAbsentRegisterControl();
}

}  // namespace zelko
