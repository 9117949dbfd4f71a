#include "activex_dispatch_control.h"

#include <array>
#include <optional>
#include <span>

#include "activex_com_ref.h"
#include "activex_event_sink.h"
#include "activex_text.h"
#include "control_dispatch_table.h"
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

class DispatchInvoker final : public DispatchBinding {
 public:
  explicit DispatchInvoker(IDispatch* control) : control_(control) {
    if (control_) {
      control_->AddRef();
      events_ = std::make_unique<EventConnection>(control);
    }
  }
  ~DispatchInvoker() override { events_.reset(); }

  void SetEventHandler(RegisterEvents* events) override {
    if (events_) events_->SetHandler(events);
  }

  std::int32_t ClosePort() override { return Method(control_table::kClosePort.dispatchId, {}); }

  std::int32_t OpenPort(std::string& port) override {
    OwnedBstr text(port);
    std::array<VARIANT, 1> arguments{TextReferenceArgument(text)};
    const std::int32_t result = Method(control_table::kOpenPort.dispatchId, arguments);
    port = BstrToBytes(text.Get());
    return result;
  }

  void SetHighSpeed(bool value) override {
    VARIANT argument = BooleanArgument(value);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{&argument, &named, 1, 1};
    Invoke(control_table::kHighSpeed.dispatchId, DISPATCH_PROPERTYPUT, parameters);
  }

  std::int32_t SendCommand(std::int32_t first, std::int16_t second, const std::string& text) override {
    OwnedBstr command(text);
    // DISPPARAMS holds the arguments last first.
    std::array<VARIANT, 3> arguments{TextArgument(command), IntegerArgument(second), LongArgument(first)};
    return Method(control_table::kSendCommand.dispatchId, arguments);
  }

  std::int32_t SendQuery(std::int32_t first, std::int16_t second, const std::string& text,
                         std::string& reply) override {
    OwnedBstr query(text);
    OwnedBstr answer("");
    std::array<VARIANT, 4> arguments{TextReferenceArgument(answer), TextArgument(query), IntegerArgument(second),
                                     LongArgument(first)};
    const std::int32_t result = Method(control_table::kSendQuery.dispatchId, arguments);
    reply = BstrToBytes(answer.Get());
    return result;
  }

  std::int32_t ResultCodeExtended() override {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return Invoke(control_table::kResultCodeExtended.dispatchId, DISPATCH_PROPERTYGET, none).value_or(0);
  }

 private:
  // A method's Long result; 107 when the call itself failed (no control, or
  // the component refused the call), as for a register that is not there.
  std::int32_t Method(DISPID id, std::span<VARIANT> arguments) {
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    return Invoke(id, DISPATCH_METHOD, parameters).value_or(kResultNoHardware);
  }

  // The call's result as a Long; empty when the call failed or gave nothing
  // that reads as a number.
  std::optional<std::int32_t> Invoke(DISPID id, WORD kind, DISPPARAMS& parameters) {
    if (!control_) return std::nullopt;
    OwnedVariant result;
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT outcome = control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                                             kind == DISPATCH_PROPERTYPUT ? nullptr : result.Get(), &exception,
                                             &badArgument);
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

  ComRef<IDispatch> control_;
  std::unique_ptr<EventConnection> events_;
};

class DispatchRegisterControl final : public RegisterControl {
 public:
  explicit DispatchRegisterControl(IDispatch* control) : binding_(MakeDispatchBinding(control)) {}

  void SetEventHandler(RegisterEvents* events) override { binding_->SetEventHandler(events); }
  std::int32_t ClosePort() override { return binding_->ClosePort(); }
  std::int32_t OpenPort(std::string_view port) override {
    std::string text(port);
    return binding_->OpenPort(text);
  }
  void SetHighSpeed(bool value) override { binding_->SetHighSpeed(value); }
  std::int32_t SendCommand(std::string_view text) override { return binding_->SendCommand(0, 0, std::string(text)); }
  QueryResult SendQuery(std::string_view text) override {
    QueryResult result;
    result.code = binding_->SendQuery(0, 0, std::string(text), result.reply);
    return result;
  }
  std::int32_t ResultCodeExtended() override { return binding_->ResultCodeExtended(); }

 private:
  std::unique_ptr<DispatchBinding> binding_;
};

}  // namespace

std::unique_ptr<DispatchBinding> MakeDispatchBinding(IDispatch* control) {
  return std::make_unique<DispatchInvoker>(control);
}

std::unique_ptr<RegisterControl> MakeDispatchRegisterControl(IDispatch* control) {
  return std::make_unique<DispatchRegisterControl>(control);
}

}  // namespace zelko
