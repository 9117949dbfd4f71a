#include "activex_register_control.h"

#include <ostream>

#include "activex_dispatch_control.h"
#include "activex_zelko_form.h"

namespace zelko {

namespace {

class ActiveXRegisterControl final : public RegisterControl {
 public:
  explicit ActiveXRegisterControl(std::ostream& diagnostics) : diagnostics_(diagnostics) {}
  ~ActiveXRegisterControl() override {
    binding_.reset();  // before the form that holds the control and the apartment
    form_.reset();
  }

  void SetEventHandler(RegisterEvents* events) override {
    events_ = events;
    if (binding_) binding_->SetEventHandler(events);
  }

  std::int32_t ClosePort() override { return Bound().ClosePort(); }
  std::int32_t OpenPort(std::string_view port) override { return Bound().OpenPort(port); }
  void SetHighSpeed(bool value) override { Bound().SetHighSpeed(value); }
  std::int32_t SendCommand(std::string_view text) override { return Bound().SendCommand(text); }
  QueryResult SendQuery(std::string_view text) override { return Bound().SendQuery(text); }
  std::int32_t ResultCodeExtended() override { return Bound().ResultCodeExtended(); }

 private:
  // The control on its form, both created at the first operation; what went
  // wrong on the way goes to the diagnostics, so that a register reported as not
  // connected has its cause on record.
  RegisterControl& Bound() {
    if (!binding_) {
      form_ = std::make_unique<ZelkoForm>();
      for (const std::string& line : form_->ProblemLines()) diagnostics_ << "ZelkoForm: " << line << '\n';
      binding_ = MakeDispatchRegisterControl(form_->JqtEcrZelko1());
      binding_->SetEventHandler(events_);
    }
    return *binding_;
  }

  std::ostream& diagnostics_;
  RegisterEvents* events_ = nullptr;
  std::unique_ptr<ZelkoForm> form_;
  std::unique_ptr<RegisterControl> binding_;
};

}  // namespace

std::unique_ptr<RegisterControl> MakeActiveXRegisterControl(std::ostream& diagnostics) {
  return std::make_unique<ActiveXRegisterControl>(diagnostics);
}

}  // namespace zelko
