#pragma once

#include <optional>
#include <string>
#include <vector>

#include "finding.h"
#include "register_probe.h"

namespace zelko {

// What ZelkoCheck found: the checks, and the ports probed when it was asked to.
struct CheckReport {
  std::vector<Finding> checks;
  std::optional<std::vector<PortProbe>> ports;

  // Every check holds and, with a probe, the register answered on a port.
  bool Ok() const;
};

// The report for the technician, in Italian, one line a finding.
std::string ReportText(const CheckReport& report);
// {"ok": bool, "checks": [{"id", "ok", "text", "remedy"}...], "ports": [{"port",
// "answered", "status", "reply", "events"}...]}, "ports" only with a probe;
// each text byte is the code point of the same value.
std::string ReportJson(const CheckReport& report);

}  // namespace zelko
