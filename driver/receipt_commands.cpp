#include "receipt_commands.h"

#include "failure_report.h"
#include "text.h"

namespace zelko {

bool IsStopCommand(const std::string& trimmedLine) { return trimmedLine.starts_with(kStopCommand); }

std::string CommandFailureMessage(long long lineNumber, const std::string& line) {
  return "COMANDO scontrino NON Eseguito!  Linea: " + ZeroPadded(lineNumber, 4) + " Comando: " + line;
}

bool SendReceiptCommands(const RunContext& context, const DriverSettings& settings,
                         const std::vector<std::string>& commandLines) {
  long long lineNumber = 3;  // the three head lines come first in the file
  for (const std::string& line : commandLines) {
    ++lineNumber;
    const std::string command(TrimSpaces(line));
    const std::int32_t result = context.control.SendCommand(command);
    if (result != kResultSuccess) {
      ReportFailureWithBox(context, result, CommandFailureMessage(lineNumber, line), settings.GestioneErrori);
    }
    if (context.progress) context.progress->CommandSent();
    if (IsStopCommand(command)) return true;
  }
  return false;
}

}  // namespace zelko
