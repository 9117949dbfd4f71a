#include "driver_run.h"

#include <ostream>

#include "command_file.h"
#include "failure_report.h"
#include "file_locations.h"
#include "host_system_name.h"
#include "notifications.h"
#include "receipt_commands.h"
#include "register_session.h"
#include "result_file.h"
#include "status_checks.h"
#include "version.h"

namespace zelko {

namespace {

void PlaceFiles(DriverRun& run) {
  const FileLocations locations = LocateFiles(HostSystemName(run.host), run.host);
  run.driverTitle = DriverTitle();
  run.commandFilePath = locations.commandFilePath;
  run.resultFilePath = locations.resultFilePath;
  run.dataFilePath = locations.dataFilePath;
}

// One run at a time: the lock beside the result file that the file locations
// give (before the command line's), so that every run reading the same command
// file waits for the one before it, whatever result path its caller names.
std::unique_ptr<RunLock> WaitForOtherRuns(DriverRun& run) {
  const std::string path = run.resultFilePath + ".lock";
  auto lock = run.host.LockForRun(path);
  if (!lock) run.diagnostics << "ZelkoDriver: the lock file \"" << path << "\" could not be made; running without it\n";
  return lock;
}

// The first pass; a missing, short or miscounted file ends the run before the port is touched.
CommandFileCheck CheckCommandLines(DriverRun& run) {
  const auto check = CheckCommandFile(run.host, run.commandFilePath);
  if (check && check->LineCountMatches()) return *check;
  run.failureMessage = check ? LineCountMessage(check->foundLines) : MissingCommandFileMessage(run.commandFilePath);
  ReportFailureWithBox(run, 0, run.failureMessage, LoadSetting(run.store, kKeyGestioneErrori));
}

void OpenRegisterPort(DriverRun& run, const CommandFileCheck& check) {
  run.control.ClosePort();
  if (AsksForHighSpeed(check.speed)) run.control.SetHighSpeed(true);
  run.control.OpenPort(check.port);
}

int RunSteps(DriverRun& run) {
  PlaceFiles(run);
  const auto lock = WaitForOtherRuns(run);
  const CommandFileCheck check = CheckCommandLines(run);
  run.dataLogOpen = false;
  run.dataLogPath = run.dataFilePath;
  const std::string resultPath = ResultPathFromCommandLine(run.host.CommandLineText());
  if (!resultPath.empty()) run.resultFilePath = resultPath;
  OpenRegisterPort(run, check);
  OpenRegisterSession(run);
  CheckOpenReceipt(run);
  const bool stopped = SendReceiptCommands(run);
  const std::string closingStatus = stopped ? "0000" : ReadStatusTail(run);
  run.control.ClosePort();
  CloseDataLog(run);
  return WriteRunResult(run, closingStatus, "OK", kExitSuccess);
}

}  // namespace

std::string DriverTitle() {
  return "JQT ZELKO Driver rel." + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
         std::to_string(kVersionRevision);
}

int Main(DriverRun& run) {
  RegisterNotifications notifications(run);
  run.control.SetEventHandler(&notifications);
  int exitStatus = kExitSuccess;
  try {
    exitStatus = RunSteps(run);
  } catch (const RunEnded& ended) {
    CloseDataLog(run);
    exitStatus = ended.exitStatus;
  }
  run.control.SetEventHandler(nullptr);
  return exitStatus;
}

}  // namespace zelko
