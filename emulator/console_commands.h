#pragma once

#include <string>
#include <string_view>

#include "emulated_register.h"

namespace zelko::emulator {

inline constexpr std::string_view kConsoleHelp =
    "keys: c cover open/close, r receipt roll empty/refill, j journal roll empty/refill,\n"
    "      o receipt open/close, d send a data line, s status, h help, q quit\n"
    "lines: cover open|close, paper receipt|journal empty|refill, receipt open|close,\n"
    "       data <text>, status, help, quit";

enum class ConsoleVerdict { Continue, Quit };

// Runs one operator command: a line as in kConsoleHelp, or a single key
// (toggling keys flip the current state). `answer` says what happened.
ConsoleVerdict RunConsoleCommand(EmulatedRegister& emulatedRegister, std::string_view command, std::string& answer);

}  // namespace zelko::emulator
