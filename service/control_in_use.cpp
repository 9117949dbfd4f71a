#include "control_in_use.h"

namespace zelko::service {

std::string ControlInUse(const DriverEnvironment& environment) {
  switch (environment.control.kind) {
    case ControlChoice::Kind::HostDefault:
      return "built-in emulator (ZELKO_CONTROL unset)";
    case ControlChoice::Kind::BuiltInEmulator:
      return "built-in emulator";
    case ControlChoice::Kind::Tcp:
      return "tcp:" + environment.control.host + ":" + environment.control.port;
    case ControlChoice::Kind::Absent:
      break;
  }
  return "none: ZELKO_CONTROL=" + environment.controlSetting + " names no register";
}

}  // namespace zelko::service
