#pragma once

#include <windows.h>

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>

#include "activex_com_ref.h"
#include "activex_event_sink.h"
#include "activex_zelko_form.h"
#include "control_dispatch_table.h"
#include "register_control.h"

namespace zelko {

// The maker's ActiveX control JQTZelko.JqtEcrZelko as the driver calls it:
// each operation is one IDispatch::Invoke by the dispatch id and kind of call
// of control_dispatch_table.h, with the argument types the control declares
// (SendCommand and SendQuery lead with Long 0 and Integer 0, OpenPort's port
// and SendQuery's reply go by reference). A call that fails, and every call
// when there is no control, answers as a register that is not there (107).
class ActiveXRegisterControl final : public RegisterControl {
 public:
  // The control on the hidden form ZelkoForm, both made at the first
  // operation; why either could not be made is told on `diagnostics`.
  explicit ActiveXRegisterControl(std::ostream& diagnostics);
  // `control` as it is, already made, on no form of this object's (null: no
  // register). Takes its own reference.
  explicit ActiveXRegisterControl(IDispatch* control);

  void SetEventHandler(RegisterEvents* events) override;
  std::int32_t ClosePort() override;
  std::int32_t OpenPort(std::string_view port) override;
  void SetHighSpeed(bool value) override;
  std::int32_t SendCommand(std::string_view text) override;
  QueryResult SendQuery(std::string_view text) override;
  std::int32_t ResultCodeExtended() override;

 private:
  IDispatch* Control();
  void Bind(IDispatch* control);
  std::int32_t Method(const ControlOperation& operation, std::span<VARIANT> arguments);
  std::optional<std::int32_t> Invoke(const ControlOperation& operation, std::span<VARIANT> arguments);

  std::ostream* diagnostics_ = nullptr;  // set while the form is still to be made
  RegisterEvents* handler_ = nullptr;
  // Released in reverse: the connection, the control, then the form that
  // holds the control and the apartment.
  std::unique_ptr<ZelkoForm> form_;
  ComRef<IDispatch> control_;
  std::unique_ptr<EventConnection> events_;
};

std::unique_ptr<RegisterControl> MakeActiveXRegisterControl(std::ostream& diagnostics);

}  // namespace zelko
