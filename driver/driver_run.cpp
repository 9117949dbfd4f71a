#include "driver_run.h"

#include <exception>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "command_file.h"
#include "driver_settings.h"
#include "failure_report.h"
#include "host_system_name.h"
#include "notifications.h"
#include "receipt_commands.h"
#include "register_session.h"
#include "result_file.h"
#include "status_checks.h"
#include "version.h"

namespace zelko {

namespace {

// One run at a time per command file: the lock that a loader run writing the
// same file holds too, so that neither reads nor replaces it under the other.
std::unique_ptr<RunLock> WaitForOtherRuns(const DriverRun& run) {
  auto lock = run.host.LockForRun(run.files.commandFilePath);
  if (!lock) {
    run.diagnostics << "ZelkoDriver: the run lock of \"" << run.files.commandFilePath
                    << "\" cannot be had; running without it\n";
  }
  return lock;
}

// The result file that the caller reads (the one the command line names, or
// else the default) holds nothing of an earlier run from here on, so that no
// failure, crash or kill can leave an earlier "OK" to be read for this run.
// When an earlier outcome stays there, nothing is sent: the receipt's own
// could not replace it (false, having said so).
bool EmptyCallersResultFile(const DriverRun& run) {
  std::string path = ResultPathFromCommandLine(run.host.CommandLineText());
  if (path.empty()) path = run.files.resultFilePath;
  if (run.host.EmptyFile(path)) return true;
  run.diagnostics << "ZelkoDriver: the result file \"" << path
                  << "\" could not be written; nothing was sent to the register\n";
  return false;
}

// The first pass; a missing, short or miscounted file ends the run before the port is touched.
CommandFileCheck CheckCommandLines(const DriverRun& run, const std::optional<CommandFileCheck>& check) {
  if (check && check->LineCountMatches()) return *check;
  const std::string message =
      check ? LineCountMessage(check->FoundLines()) : MissingCommandFileMessage(run.files.commandFilePath);
  ReportFailureWithBox(run, 0, message, LoadSetting(run.store, kKeyGestioneErrori));
}

void OpenRegisterPort(const DriverRun& run, const CommandFileCheck& check) {
  run.control.ClosePort();
  if (AsksForHighSpeed(check.speed)) run.control.SetHighSpeed(true);
  run.control.OpenPort(check.port);
}

int RunSteps(DriverRun& run, DataLog& dataLog) {
  run.files = LocateFiles(HostSystemName(run.host), run.host);
  const auto lock = WaitForOtherRuns(run);
  // Read whole before the result file is emptied, which may be the same file.
  const auto commandFile = CheckCommandFile(run.host, run.files.commandFilePath);
  if (!EmptyCallersResultFile(run)) return kExitResultNotWritten;
  const CommandFileCheck check = CheckCommandLines(run, commandFile);
  if (run.progress) run.progress->CommandsToSend(check.FoundLines());
  dataLog.Start(run.files.dataFilePath);
  if (std::string named = ResultPathFromCommandLine(run.host.CommandLineText()); !named.empty()) {
    run.files.resultFilePath = std::move(named);
  }
  OpenRegisterPort(run, check);
  const DriverSettings settings = OpenRegisterSession(run);
  CheckOpenReceipt(run, settings);
  const bool stopped = SendReceiptCommands(run, settings, check.commandLines);
  const std::string closingStatus = stopped ? "0000" : ReadStatusTail(run);
  run.control.ClosePort();
  dataLog.Close();
  return WriteRunResult(run, closingStatus, "OK", kExitSuccess);
}

}  // namespace

const std::string& DriverTitle() {
  static const std::string title = "JQT ZELKO Driver rel." + std::to_string(kVersionMajor) + "." +
                                   std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
  return title;
}

int Main(DriverRun& run) {
  run.files = {};
  RegisterNotifications notifications(run.host, run.theOperator, run.diagnostics);
  run.control.SetEventHandler(&notifications);
  int exitStatus = kExitSuccess;
  try {
    exitStatus = RunSteps(run, notifications.Data());
  } catch (const RunEnded& ended) {
    notifications.Data().Close();
    exitStatus = ended.exitStatus;
  } catch (const std::exception& error) {
    notifications.Data().Close();
    exitStatus = ReportInternalFailure(run, error.what());
  } catch (...) {
    notifications.Data().Close();
    exitStatus = ReportInternalFailure(run, "eccezione sconosciuta");
  }
  run.control.SetEventHandler(nullptr);
  return exitStatus;
}

}  // namespace zelko
