#include "till_diagnostics.h"

#include <iostream>

#include "check_report.h"
#include "prefixed_lines.h"
#include "register_probe.h"

namespace zelko::service {

std::string TillDiagnostics::Checks() {
  CheckReport report;
  thread_.Do([&] { report.checks = CheckTill(till_); });
  return ReportJson(report);
}

std::string TillDiagnostics::Probe(const std::string& port) {
  CheckReport report;
  thread_.Do([&] {
    PrefixedLines diagnostics(std::cerr, "ZelkoService: ");
    report.checks = CheckTill(till_);
    report.ports = ProbeRegister(till_.host, till_.controls, port.empty() ? SerialPortsToTry() : std::vector{port},
                                 port.empty(), diagnostics);
  });
  return ReportJson(report);
}

}  // namespace zelko::service
