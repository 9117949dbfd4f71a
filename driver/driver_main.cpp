#include <exception>
#include <iostream>

#include "control_selection.h"
#include "driver_run.h"
#include "host_backend.h"
#include "operator_selection.h"

int main(int argc, char** argv) {
  try {
    const auto host = zelko::MakeHostServices(argc, argv);
    const auto store = zelko::MakeSettingsStore("JQT SPA", "ZELKO");
    const auto theOperator = zelko::SelectOperator();
    const auto control = zelko::SelectRegisterControl();
    zelko::DriverRun run(*host, *store, *theOperator, *control, std::cerr);
    return zelko::Main(run);
  } catch (const std::exception& error) {
    std::cerr << "ZelkoDriver: " << error.what() << "\n";
    return zelko::kExitResultNotWritten;
  }
}
