#pragma once

#include <string>
#include <vector>

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

// The ports that a search tries, in order (one implementation per platform):
// the serial ports the system lists on Windows, "1" to "16" elsewhere.
std::vector<std::string> SerialPortsToTry();

}  // namespace zelko
