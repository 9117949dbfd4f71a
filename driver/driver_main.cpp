#include <exception>
#include <iostream>
#include <optional>

#include "control_selection.h"
#include "driver_environment.h"
#include "file_run.h"
#include "host_backend.h"
#include "operator_selection.h"
#include "prefixed_lines.h"
#include "terminal_progress.h"

int main(int argc, char** argv) {
  zelko::PrefixedLines diagnostics(std::cerr, "ZelkoDriver: ");
  try {
    const auto host = zelko::MakeHostServices(argc, argv);
    const auto store = zelko::MakeSettingsStore("JQT SPA", "ZELKO");
    const zelko::DriverEnvironment environment =
        zelko::ReadDriverEnvironment(host->EnvironmentEntries(), zelko::ZelkoRoot());
    const auto theOperator = zelko::SelectOperator(environment, *host, diagnostics);
    const auto control = zelko::ControlSelection(environment, *host).Make(diagnostics);
    zelko::DriverRun run(*host, *store, *theOperator, *control, diagnostics);
    // Only a person at a terminal sees progress; callers that capture standard error get nothing new.
    std::optional<zelko::TerminalProgress> progress;
    if (zelko::StandardErrorIsTerminal()) run.progress = &progress.emplace(std::cerr);
    return zelko::Main(run);
  } catch (const std::exception& error) {
    diagnostics << error.what() << "\n";
    return zelko::kExitResultNotWritten;
  }
}
