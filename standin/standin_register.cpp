// The one place that knows the project's TCP register client and the
// environment variables of the stand-in.
#include "standin_register.h"

#include "control_selection.h"
#include "driver_environment.h"
#include "environment.h"
#include "host_backend.h"
#include "tcp_register_control.h"

namespace zelko {

bool StandInStrictMode() { return EnvironmentValue(ProcessEnvironment(), "ZELKO_STANDIN_STRICT") == "1"; }

std::unique_ptr<RegisterControl> MakeStandInRegister(RegisterEvents& events) {
  const std::vector<std::string> entries = ProcessEnvironment();
  const ControlChoice choice = ParseControlChoice(EnvironmentValue(entries, "ZELKO_STANDIN_REGISTER").value_or(""));
  if (choice.kind != ControlChoice::Kind::Tcp) return MakeAbsentRegisterControl();
  auto tcp = MakeTcpRegisterControl(choice.host, choice.port,
                                    ParseControlTimeout(EnvironmentValue(entries, "ZELKO_CONTROL_TIMEOUT_MS").value_or("")));
  tcp->SetEventHandler(&events);
  return tcp;
}

}  // namespace zelko
