#include "activex_register_control.h"

#include <array>
#include <ostream>

#include "activex_text.h"
#include "win32_message_pump.h"

namespace zelko {

namespace {

VARIANT Argument(VARTYPE type) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = type;
  return argument;
}

VARIANT LongArgument(std::int32_t value) {
  VARIANT argument = Argument(VT_I4);
  argument.lVal = value;
  return argument;
}

VARIANT IntegerArgument(std::int16_t value) {
  VARIANT argument = Argument(VT_I2);
  argument.iVal = value;
  return argument;
}

VARIANT BooleanArgument(bool value) {
  VARIANT argument = Argument(VT_BOOL);
  argument.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return argument;
}

VARIANT TextArgument(const OwnedBstr& text) {
  VARIANT argument = Argument(VT_BSTR);
  argument.bstrVal = text.Get();
  return argument;
}

VARIANT TextReferenceArgument(OwnedBstr& text) {
  VARIANT argument = Argument(VT_BSTR | VT_BYREF);
  argument.pbstrVal = text.Address();
  return argument;
}

WORD DispatchKind(InvokeKind kind) {
  switch (kind) {
    case InvokeKind::kMethod: return DISPATCH_METHOD;
    case InvokeKind::kPropertyPut: return DISPATCH_PROPERTYPUT;
    case InvokeKind::kPropertyGet: return DISPATCH_PROPERTYGET;
  }
  return DISPATCH_METHOD;
}

}  // namespace

ActiveXRegisterControl::ActiveXRegisterControl(std::ostream& diagnostics) : diagnostics_(&diagnostics) {}

ActiveXRegisterControl::ActiveXRegisterControl(IDispatch* control) { Bind(control); }

void ActiveXRegisterControl::SetEventHandler(RegisterEvents* events) {
  handler_ = events;
  if (events_) events_->SetHandler(events);
}

std::int32_t ActiveXRegisterControl::ClosePort() { return Method(control_table::kClosePort, {}); }

std::int32_t ActiveXRegisterControl::OpenPort(std::string_view port) {
  // The control may replace the text it is given; the caller's port stays.
  OwnedBstr text(port);
  std::array arguments{TextReferenceArgument(text)};
  return Method(control_table::kOpenPort, arguments);
}

void ActiveXRegisterControl::SetHighSpeed(bool value) {
  std::array arguments{BooleanArgument(value)};
  Invoke(control_table::kHighSpeed, arguments);
}

// DISPPARAMS holds the arguments last first.
std::int32_t ActiveXRegisterControl::SendCommand(std::string_view text) {
  OwnedBstr command(text);
  std::array arguments{TextArgument(command), IntegerArgument(0), LongArgument(0)};
  return Method(control_table::kSendCommand, arguments);
}

QueryResult ActiveXRegisterControl::SendQuery(std::string_view text) {
  OwnedBstr query(text);
  OwnedBstr reply("");
  std::array arguments{TextReferenceArgument(reply), TextArgument(query), IntegerArgument(0), LongArgument(0)};
  QueryResult result;
  result.code = Method(control_table::kSendQuery, arguments);
  result.reply = BstrToBytes(reply.Get());
  return result;
}

std::int32_t ActiveXRegisterControl::ResultCodeExtended() {
  return Invoke(control_table::kResultCodeExtended, {}).value_or(0);
}

// The form and its control come with the first operation; what went wrong on
// the way goes to the diagnostics, so that a register reported as not
// connected has its cause on record.
IDispatch* ActiveXRegisterControl::Control() {
  if (diagnostics_) {
    form_ = std::make_unique<ZelkoForm>();
    for (const std::string& line : form_->ProblemLines()) *diagnostics_ << "ZelkoForm: " << line << '\n';
    diagnostics_ = nullptr;
    Bind(form_->JqtEcrZelko1());
  }
  return control_.Get();
}

void ActiveXRegisterControl::Bind(IDispatch* control) {
  if (!control) return;
  control->AddRef();
  control_ = ComRef<IDispatch>(control);
  events_ = std::make_unique<EventConnection>(control);
  events_->SetHandler(handler_);
}

// A method's Long result; 107 when the call itself failed (no control, or the
// control refused the call), as for a register that is not there.
std::int32_t ActiveXRegisterControl::Method(const ControlOperation& operation, std::span<VARIANT> arguments) {
  return Invoke(operation, arguments).value_or(kResultNoHardware);
}

// The call's result as a Long; empty when the call failed or gave nothing
// that reads as a number.
std::optional<std::int32_t> ActiveXRegisterControl::Invoke(const ControlOperation& operation,
                                                           std::span<VARIANT> arguments) {
  IDispatch* control = Control();
  if (!control) return std::nullopt;
  const bool put = operation.kind == InvokeKind::kPropertyPut;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{arguments.data(), put ? &named : nullptr, static_cast<UINT>(arguments.size()), put ? 1u : 0u};
  OwnedVariant result;
  EXCEPINFO exception{};
  UINT badArgument = 0;
  const HRESULT outcome = control->Invoke(operation.dispatchId, IID_NULL, LOCALE_USER_DEFAULT,
                                          DispatchKind(operation.kind), &parameters, put ? nullptr : result.Get(),
                                          &exception, &badArgument);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  // What the control posted to its windows meanwhile (events among it)
  // arrives before the operation returns.
  PumpPendingMessages();
  if (std::exception_ptr failure = events_->TakeHandlerFailure()) std::rethrow_exception(failure);
  long value = 0;
  if (FAILED(outcome) || !VariantToLong(*result.Get(), value)) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::unique_ptr<RegisterControl> MakeActiveXRegisterControl(std::ostream& diagnostics) {
  return std::make_unique<ActiveXRegisterControl>(diagnostics);
}

}  // namespace zelko
