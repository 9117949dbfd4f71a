#include "driver_environment.h"

#include <charconv>

#include "environment.h"
#include "text.h"

namespace zelko {

namespace {

constexpr std::string_view kScriptPrefix = "script:";

bool IsPortNumber(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 1 && value <= 65535;
}

// "tcp:<host>:<port>"; the host may be a bracketed IPv6 address.
ControlChoice ParseTcpChoice(std::string_view address) {
  const auto colon = address.rfind(':');
  if (colon == std::string_view::npos) return {ControlChoice::Kind::Absent, {}, {}};
  std::string_view host = address.substr(0, colon);
  const std::string_view port = address.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  if (host.empty() || !IsPortNumber(port)) return {ControlChoice::Kind::Absent, {}, {}};
  return {ControlChoice::Kind::Tcp, std::string(host), std::string(port)};
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

ControlChoice ParseControlChoice(std::string_view value) {
  if (value.empty()) return {};
  if (value == "emulator") return {ControlChoice::Kind::BuiltInEmulator, {}, {}};
  if (value.starts_with("tcp:")) return ParseTcpChoice(value.substr(4));
  return {ControlChoice::Kind::Absent, {}, {}};
}

std::chrono::milliseconds ParseControlTimeout(std::string_view value) {
  if (!IsDigits(value)) return kDefaultControlTimeout;
  std::chrono::milliseconds::rep milliseconds = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), milliseconds);
  // Only digits: a number too long to hold is more than an hour too.
  if (error == std::errc::result_out_of_range || milliseconds > kLongestControlTimeout.count()) {
    return kLongestControlTimeout;
  }
  if (milliseconds == 0) return kDefaultControlTimeout;
  return std::chrono::milliseconds(milliseconds);
}

OperatorChoice ParseOperatorChoice(std::string_view value) {
  if (value.empty()) return {};
  if (EqualsIgnoreCaseAscii(value, "unattended")) return {OperatorChoice::Kind::Unattended, {}};
  if (EqualsIgnoreCaseAscii(value.substr(0, kScriptPrefix.size()), kScriptPrefix)) {
    return {OperatorChoice::Kind::Script, std::string(value.substr(kScriptPrefix.size()))};
  }
  return {OperatorChoice::Kind::Unknown, {}};
}

DriverEnvironment ReadDriverEnvironment(const std::vector<std::string>& entries, const std::string& root) {
  const auto value = [&](std::string_view name) { return EnvironmentValue(entries, name).value_or(""); };
  DriverEnvironment environment;
  environment.controlSetting = value("ZELKO_CONTROL");
  environment.control = ParseControlChoice(environment.controlSetting);
  environment.controlTimeout = ParseControlTimeout(value("ZELKO_CONTROL_TIMEOUT_MS"));
  environment.emulatorJournal = root + "/emulator/journal.txt";
  environment.emulatorScenario = value("ZELKO_EMULATOR_SCENARIO");
  environment.operatorSetting = value("ZELKO_OPERATOR");
  environment.theOperator = ParseOperatorChoice(environment.operatorSetting);
  environment.operatorLog = value("ZELKO_OPERATOR_LOG");
  environment.controlLog = value("ZELKO_CONTROL_LOG");
  return environment;
}

}  // namespace zelko
