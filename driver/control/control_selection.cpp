#include "control_selection.h"

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "builtin_emulator_control.h"
#include "control_selection_host.h"
#include "control_selection_rules.h"
#include "tcp_register_control.h"

namespace zelko {

namespace {

constexpr std::chrono::milliseconds kDefaultTimeout{15000};

// A register that is not there: every operation finds no hardware.
class AbsentRegisterControl final : public RegisterControl {
 public:
  void SetEventHandler(RegisterEvents*) override {}
  std::int32_t ClosePort() override { return kResultNoHardware; }
  std::int32_t OpenPort(std::string_view) override { return kResultNoHardware; }
  void SetHighSpeed(bool) override {}
  std::int32_t SendCommand(std::string_view) override { return kResultNoHardware; }
  QueryResult SendQuery(std::string_view) override { return {kResultNoHardware, {}}; }
  std::int32_t ResultCodeExtended() override { return 0; }
};

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

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

ControlChoice ParseControlChoice(const char* value) {
  if (value == nullptr) return {};
  const std::string_view text(value);
  if (text == "emulator") return {ControlChoice::Kind::BuiltInEmulator, {}, {}};
  if (text.starts_with("tcp:")) return ParseTcpChoice(text.substr(4));
  return {ControlChoice::Kind::Absent, {}, {}};
}

std::chrono::milliseconds ParseControlTimeout(const char* value) {
  if (value == nullptr) return kDefaultTimeout;
  const std::string_view text(value);
  long long milliseconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), milliseconds);
  if (error != std::errc() || end != text.data() + text.size() || milliseconds <= 0) return kDefaultTimeout;
  return std::chrono::milliseconds(milliseconds);
}

std::string EmulatorJournalPath(const char* zelkoRoot, const char* home) {
  std::string root;
  if (zelkoRoot != nullptr && *zelkoRoot != '\0') {
    root = zelkoRoot;
  } else {
    root = std::string(home == nullptr ? "" : home) + "/.zelko";
  }
  return root + "/emulator/journal.txt";
}

std::unique_ptr<RegisterControl> SelectRegisterControl() {
  const char* setting = std::getenv("ZELKO_CONTROL");
  const ControlChoice choice = ParseControlChoice(setting);
  const std::string journal = EmulatorJournalPath(std::getenv("ZELKO_ROOT"), std::getenv("HOME"));
  const std::string scenario = EnvironmentValue("ZELKO_EMULATOR_SCENARIO");
  switch (choice.kind) {
    case ControlChoice::Kind::HostDefault:
      return MakeHostDefaultControl(journal, scenario);
    case ControlChoice::Kind::BuiltInEmulator:
      return MakeBuiltInEmulatorControl(journal, scenario);
    case ControlChoice::Kind::Tcp:
      return MakeTcpRegisterControl(choice.host, choice.port,
                                    ParseControlTimeout(std::getenv("ZELKO_CONTROL_TIMEOUT_MS")));
    case ControlChoice::Kind::Absent:
      break;
  }
  std::cerr << "ZelkoDriver: ZELKO_CONTROL=\"" << setting
            << "\" names no register control; the register is treated as not connected\n";
  return std::make_unique<AbsentRegisterControl>();
}

}  // namespace zelko
