#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "control_selection.h"
#include "host_services.h"
#include "register_control.h"

namespace zelko {

// What the register answered on one port to the status query.
struct PortProbe {
  std::string port;
  bool answered = false;
  std::string status;  // what the reply means, Italian; why there was none when not answered
  std::string reply;   // the status reply as it came
  std::vector<std::string> events;  // the events that arrived, named
};

// On one port, and nothing else: ClosePort, HighSpeed, OpenPort, the status
// query "<</?s", ClosePort. No reset, no display text, no receipt command.
PortProbe ProbePort(RegisterControl& control, const std::string& port);

// The register asked on each of `ports` through a new control of `controls`,
// under the run lock of the command file a run here would execute: while a
// run holds it nothing is sent, and nothing comes back. With `answeredOnly`
// only the ports where the register answered are kept.
std::vector<PortProbe> ProbeRegister(const HostServices& host, const ControlSelection& controls,
                                     const std::vector<std::string>& ports, bool answeredOnly,
                                     std::ostream& diagnostics);

// The ports that a search tries, in order (one implementation per platform):
// the serial ports the system lists on Windows, "1" to "16" elsewhere.
std::vector<std::string> SerialPortsToTry();

}  // namespace zelko
