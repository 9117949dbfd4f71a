#include "receipt_commands.h"

#include "command_file.h"
#include "failure_report.h"
#include "text.h"
#include "text_file.h"

namespace zelko {

namespace {

// The file changed or vanished since the first pass.
[[noreturn]] void ReportUnreadableCommandFile(const DriverRun& run, const DriverSettings& settings) {
  ReportFailureWithBox(run, 0, MissingCommandFileMessage(run.files.commandFilePath), settings.GestioneErrori);
}

}  // namespace

bool IsStopCommand(const std::string& trimmedLine) { return trimmedLine.starts_with(kStopCommand); }

std::string CommandFailureMessage(long long lineNumber, const std::string& line) {
  return "COMANDO scontrino NON Eseguito!  Linea: " + ZeroPadded(lineNumber, 4) + " Comando: " + line;
}

bool SendReceiptCommands(const DriverRun& run, const DriverSettings& settings) {
  auto source = run.host.OpenRead(run.files.commandFilePath);
  if (!source) ReportUnreadableCommandFile(run, settings);
  TextReader reader(std::move(source));
  std::string line;
  for (int header = 0; header < 3; ++header) {
    if (!reader.ReadLine(line)) ReportUnreadableCommandFile(run, settings);
  }
  for (long long lineNumber = 4; reader.ReadLine(line); ++lineNumber) {
    const std::string command(TrimSpaces(line));
    const std::int32_t result = run.control.SendCommand(command);
    if (result != kResultSuccess) {
      ReportFailureWithBox(run, result, CommandFailureMessage(lineNumber, line), settings.GestioneErrori);
    }
    if (run.progress) run.progress->CommandSent();
    if (IsStopCommand(command)) return true;
  }
  if (reader.Failed()) ReportUnreadableCommandFile(run, settings);
  return false;
}

}  // namespace zelko
