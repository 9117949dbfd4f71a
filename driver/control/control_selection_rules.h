#pragma once

#include <chrono>
#include <string>

namespace zelko {

// What ZELKO_CONTROL asks for.
struct ControlChoice {
  enum class Kind { HostDefault, BuiltInEmulator, Tcp, Absent };
  Kind kind = Kind::HostDefault;
  std::string host;  // Tcp only
  std::string port;  // Tcp only
};

// Null `value`: the variable is unset.
ControlChoice ParseControlChoice(const char* value);
// ZELKO_CONTROL_TIMEOUT_MS: a positive number of milliseconds, else the default of 15 s.
std::chrono::milliseconds ParseControlTimeout(const char* value);
// The built-in emulator's journal: $ZELKO_ROOT/emulator/journal.txt, ZELKO_ROOT defaulting to $HOME/.zelko.
std::string EmulatorJournalPath(const char* zelkoRoot, const char* home);

}  // namespace zelko
