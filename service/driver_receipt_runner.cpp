#include "driver_receipt_runner.h"

#include <iostream>
#include <sstream>

#include "control_selection.h"
#include "driver_run.h"
#include "file_locations.h"
#include "host_system_name.h"
#include "memory_files_host.h"
#include "operator_selection.h"

namespace zelko::service {

RunOutcome DriverReceiptRunner::Run(const std::string& commandFile, RunProgress& progress) {
  // The same locations the run is about to find, so that its three files are the ones in memory.
  const FileLocations locations = LocateFiles(HostSystemName(host_), host_);
  MemoryFilesHost files(host_);
  files.Serve(locations.commandFilePath, commandFile);
  files.Capture(locations.resultFilePath);
  files.Capture(locations.dataFilePath);

  // A new operator and control for every run, as every ZelkoDriver process has.
  const auto theOperator = SelectOperator(environment_);
  const auto control = SelectRegisterControl(environment_);
  std::ostringstream diagnostics;
  DriverRun run(files, store_, *theOperator, *control, diagnostics);
  run.progress = &progress;
  Main(run);

  RunOutcome outcome;
  outcome.resultLines = files.CapturedLines(locations.resultFilePath);
  outcome.dataLines = files.CapturedLines(locations.dataFilePath).value_or(std::vector<std::string>{});
  outcome.diagnostics = diagnostics.str();
  // What ZelkoDriver would have said on its standard error, the service says on its own.
  std::cerr << outcome.diagnostics << std::flush;
  return outcome;
}

}  // namespace zelko::service
