// The one place that knows the project's TCP register client.
#include "standin_register.h"

#include <windows.h>

#include <optional>

#include "control_selection_rules.h"
#include "tcp_register_control.h"

namespace zelko {

namespace {

// The process environment itself, not a runtime library's copy of it: the
// host program may have set the variable after that copy was made.
std::optional<std::string> EnvironmentValue(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 || length >= sizeof value) return std::nullopt;
  return std::string(value, length);
}

class TcpStandInRegister final : public StandInRegister {
 public:
  explicit TcpStandInRegister(std::unique_ptr<RegisterControl> tcp) : tcp_(std::move(tcp)) {}

  std::int32_t ClosePort() override { return tcp_ ? tcp_->ClosePort() : kResultNoHardware; }
  std::int32_t OpenPort(const std::string& port) override {
    std::string text = port;
    return tcp_ ? tcp_->OpenPort(text) : kResultNoHardware;
  }
  void SetHighSpeed(bool value) override {
    if (tcp_) tcp_->SetHighSpeed(value);
  }
  std::int32_t SendCommand(const std::string& text) override {
    return tcp_ ? tcp_->SendCommand(0, 0, text) : kResultNoHardware;
  }
  Answer SendQuery(const std::string& text) override {
    Answer answer{kResultNoHardware, {}};
    if (tcp_) answer.code = tcp_->SendQuery(0, 0, text, answer.reply);
    return answer;
  }
  std::int32_t ResultCodeExtended() override { return tcp_ ? tcp_->ResultCodeExtended() : 0; }

 private:
  std::unique_ptr<RegisterControl> tcp_;  // null: no register
};

}  // namespace

std::unique_ptr<StandInRegister> MakeStandInRegister(RegisterEvents& events) {
  const std::optional<std::string> address = EnvironmentValue("ZELKO_STANDIN_REGISTER");
  const ControlChoice choice = ParseControlChoice(address ? address->c_str() : nullptr);
  std::unique_ptr<RegisterControl> tcp;
  if (choice.kind == ControlChoice::Kind::Tcp) {
    const std::optional<std::string> timeout = EnvironmentValue("ZELKO_CONTROL_TIMEOUT_MS");
    tcp = MakeTcpRegisterControl(choice.host, choice.port, ParseControlTimeout(timeout ? timeout->c_str() : nullptr));
    tcp->SetEventHandler(&events);
  }
  return std::make_unique<TcpStandInRegister>(std::move(tcp));
}

}  // namespace zelko
