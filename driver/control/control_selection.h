#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "driver_environment.h"
#include "host_services.h"
#include "register_control.h"

namespace zelko {

// The register control that ZELKO_CONTROL names (the host's default when
// unset), and what to call it. Each run makes a new control of it, as each
// ZelkoDriver process does, traced when ZELKO_CONTROL_LOG names a file. The
// host must outlive the selection.
class ControlSelection {
 public:
  ControlSelection(const DriverEnvironment& environment, const HostServices& host);

  // What the runs talk to, e.g. "built-in emulator" or "tcp:127.0.0.1:7300".
  const std::string& Description() const { return description_; }
  // A new control; what a run should know of it is told on `diagnostics`.
  std::unique_ptr<RegisterControl> Make(std::ostream& diagnostics) const;

 private:
  const HostServices& host_;
  std::string trace_;
  std::string description_;
  std::function<std::unique_ptr<RegisterControl>(std::ostream&)> make_;
};

// A register that is not there: every operation finds no hardware (107).
std::unique_ptr<RegisterControl> MakeAbsentRegisterControl();

}  // namespace zelko
