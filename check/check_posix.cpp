// What ZelkoCheck asks of a POSIX host: no serial port list, no file virtualization.
#include "register_probe.h"
#include "till_checks.h"

namespace zelko {

std::vector<std::string> SerialPortsToTry() {
  std::vector<std::string> ports;
  for (int port = 1; port <= 16; ++port) ports.push_back(std::to_string(port));
  return ports;
}

std::vector<std::string> VirtualizationProblems(const std::vector<std::string>&) { return {}; }

}  // namespace zelko
