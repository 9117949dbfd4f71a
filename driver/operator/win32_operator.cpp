#include <windows.h>

#include "default_operator.h"
#include "operator_answers.h"
#include "win32_message_pump.h"
#include "win32_notice_window.h"

namespace zelko {

namespace {

// The person at the till, through real message boxes and the notice window.
class Win32Operator final : public Operator {
 public:
  OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) override {
    PumpPendingMessages();
    switch (::MessageBoxA(nullptr, text.c_str(), caption.c_str(), static_cast<UINT>(BoxStyle(kind)))) {
      case IDYES:
        return OperatorAnswer::Yes;
      case IDNO:
        return OperatorAnswer::No;
      case 0:
        // No box could be shown: the box's default button, as if pressed.
        return DefaultAnswer(kind);
      default:
        return OperatorAnswer::Ok;
    }
  }

  void ShowNotice(const std::string& caption, const std::string& text) override {
    notice_.Show(caption, text);
    PumpPendingMessages();
  }

  void CloseNotice() override {
    notice_.Close();
    PumpPendingMessages();
  }

  // A real box waits for a person, so a repeated prompt needs no pause.
  void PaceRepeatedPrompt() override { PumpPendingMessages(); }

 private:
  NoticeWindow notice_;
};

}  // namespace

std::unique_ptr<Operator> MakeDefaultOperator() { return std::make_unique<Win32Operator>(); }

void PauseOneSecond() { WaitPumpingMessages(1000); }

}  // namespace zelko
