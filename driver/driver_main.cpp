#include <exception>
#include <iostream>
#include <optional>

#include "control_selection.h"
#include "driver_environment.h"
#include "driver_run.h"
#include "host_backend.h"
#include "operator_selection.h"
#include "terminal_progress.h"

int main(int argc, char** argv) {
  try {
    const auto host = zelko::MakeHostServices(argc, argv);
    const auto store = zelko::MakeSettingsStore("JQT SPA", "ZELKO");
    const zelko::DriverEnvironment environment = zelko::ReadDriverEnvironment(host->EnvironmentEntries(), zelko::ZelkoRoot());
    const auto theOperator = zelko::SelectOperator(environment);
    const auto control = zelko::SelectRegisterControl(environment);
    zelko::DriverRun run(*host, *store, *theOperator, *control, std::cerr);
    // Only a person at a terminal sees progress; callers that capture standard error get nothing new.
    std::optional<zelko::TerminalProgress> progress;
    if (zelko::StandardErrorIsTerminal()) run.progress = &progress.emplace(std::cerr);
    return zelko::Main(run);
  } catch (const std::exception& error) {
    std::cerr << "ZelkoDriver: " << error.what() << "\n";
    return zelko::kExitResultNotWritten;
  }
}
