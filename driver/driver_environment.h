#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace zelko {

// What ZELKO_CONTROL asks for.
struct ControlChoice {
  enum class Kind { HostDefault, BuiltInEmulator, Tcp, Absent };
  Kind kind = Kind::HostDefault;
  std::string host;  // Tcp only
  std::string port;  // Tcp only
};

// What ZELKO_OPERATOR asks for.
struct OperatorChoice {
  enum class Kind { HostDefault, Unattended, Script, Unknown };
  Kind kind = Kind::HostDefault;
  std::string script;  // Script only: the answers file
};

// The driver's outside wiring as the process environment gives it, read in
// this one place. A ZELKO_ variable that is set but empty counts as unset.
struct DriverEnvironment {
  std::string controlSetting;  // ZELKO_CONTROL as given, for messages
  ControlChoice control;
  std::chrono::milliseconds controlTimeout{};  // ZELKO_CONTROL_TIMEOUT_MS
  std::string emulatorJournal;                 // <root>/emulator/journal.txt
  std::string emulatorScenario;                // ZELKO_EMULATOR_SCENARIO; empty: none
  std::string operatorSetting;                 // ZELKO_OPERATOR as given, for messages
  OperatorChoice theOperator;
  std::string operatorLog;  // ZELKO_OPERATOR_LOG; empty: no log
  std::string controlLog;   // ZELKO_CONTROL_LOG; empty: no trace of the control
};

inline constexpr std::chrono::milliseconds kDefaultControlTimeout{15000};
inline constexpr std::chrono::milliseconds kLongestControlTimeout{3600 * 1000};

// `entries`: "NAME=value" as the host gives them; `root`: the folder of the
// programs' own files (ZelkoRoot), which holds the built-in emulator's journal.
DriverEnvironment ReadDriverEnvironment(const std::vector<std::string>& entries, const std::string& root);

// Empty: unset (the host's default); an unknown value: a register that is not there.
ControlChoice ParseControlChoice(std::string_view value);
// A positive whole number of milliseconds, at most one hour (more counts as
// one hour); anything else is the default of 15 s.
std::chrono::milliseconds ParseControlTimeout(std::string_view value);
// "unattended" or "script:<file>", in any case; empty: unset.
OperatorChoice ParseOperatorChoice(std::string_view value);

}  // namespace zelko
