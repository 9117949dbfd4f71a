#pragma once

#include <string>
#include <vector>

#include "driver_run.h"
#include "driver_settings.h"
#include "register_commands.h"

namespace zelko {

// A command that begins with the stop command (after trimming) is the last one sent.
bool IsStopCommand(const std::string& trimmedLine);

// "COMANDO scontrino NON Eseguito!  Linea: 0005 Comando: <line as read>".
std::string CommandFailureMessage(long long lineNumber, const std::string& line);

// The second pass: sends the command lines that the first pass read, each
// trimmed, in file order. True when a stop command ended the sending; a
// command that fails ends the run.
bool SendReceiptCommands(const RunContext& context, const DriverSettings& settings,
                         const std::vector<std::string>& commandLines);

}  // namespace zelko
