// ZelkoCheck: tells whoever installs a till what differs from what the driver
// expects, before the first receipt; the register is touched only when asked.
#include <CLI/CLI.hpp>
#include <iostream>

#include "check_report.h"
#include "control_apartment.h"
#include "host_backend.h"
#include "prefixed_lines.h"
#include "till_checks.h"

namespace zelko {
namespace {

constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

struct Options {
  std::string port;
  bool findPort = false;
  bool json = false;
  std::string report;
};

int Run(const Options& options, int argc, char** argv) {
  PrefixedLines diagnostics(std::cerr, "ZelkoCheck: ");
  const ControlApartment apartment;
  const auto host = MakeHostServices(argc, argv);
  const auto store = MakeSettingsStore("JQT SPA", "ZELKO");
  const DriverEnvironment environment = ReadDriverEnvironment(host->EnvironmentEntries(), ZelkoRoot());
  const ControlSelection controls(environment, *host);
  CheckReport report;
  report.checks = CheckTill({*host, *store, environment, controls});
  if (options.findPort || !options.port.empty()) {
    report.ports = ProbeRegister(*host, controls, options.findPort ? SerialPortsToTry() : std::vector{options.port},
                                 options.findPort, diagnostics);
  }
  const std::string text = ReportText(report);
  std::cout << (options.json ? ReportJson(report) + "\n" : text) << std::flush;
  if (!options.report.empty()) {
    auto file = host->Create(options.report, HostServices::CreateMode::AtomicReplace);
    if (!file || !file->Write(text) || !file->Commit()) {
      diagnostics << "the report cannot be written to " << options.report << "\n";
      return kExitProblems;
    }
  }
  return report.Ok() ? 0 : kExitProblems;
}

}  // namespace
}  // namespace zelko

int main(int argc, char** argv) {
  zelko::Options options;
  CLI::App app{"ZelkoCheck: what differs at this till from what the receipt driver expects"};
  auto* port = app.add_option("--port", options.port,
                              "ask the register on this port only for its status (the port line of a receipt)");
  app.add_flag("--find-port", options.findPort, "ask on every serial port the system lists for the register")
      ->excludes(port);
  app.add_flag("--json", options.json, "one JSON object on standard output instead of the report");
  app.add_option("--report", options.report, "write the report to this file too, for a support request");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : zelko::kExitUsage;
  }
  try {
    return zelko::Run(options, argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "ZelkoCheck: " << error.what() << "\n";
    return zelko::kExitProblems;
  }
}
