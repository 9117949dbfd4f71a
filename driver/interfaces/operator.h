#pragma once

#include <string>

namespace zelko {

// The three message boxes the driver shows.
enum class BoxKind {
  Stop,         // a failure: stop icon, OK
  Information,  // a prompt to act on the register: information icon, OK
  Question,     // the open-receipt question: warning icon, Yes and No
};

// The Windows message-box style of each kind: what the Win32 box takes and
// what the operator log records.
constexpr int BoxStyle(BoxKind kind) {
  switch (kind) {
    case BoxKind::Stop:
      return 16;  // MB_ICONSTOP | MB_OK
    case BoxKind::Information:
      return 64;  // MB_ICONINFORMATION | MB_OK
    case BoxKind::Question:
      return 52;  // MB_ICONEXCLAMATION | MB_YESNO
  }
  return 0;
}

enum class OperatorAnswer { Ok, Yes, No };

// The person at the till: modal message boxes and the modeless paper notice.
class Operator {
 public:
  virtual ~Operator() = default;
  // Shows a modal box and returns the button pressed.
  virtual OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) = 0;
  // Shows the notice, or replaces its text when it is already shown.
  virtual void ShowNotice(const std::string& caption, const std::string& text) = 0;
  // Closes the notice when it is shown; otherwise nothing.
  virtual void CloseNotice() = 0;
  // Called before a prompt that is about to repeat asks the register again;
  // an operator that answers by itself waits here so a loop never spins.
  virtual void PaceRepeatedPrompt() = 0;
};

}  // namespace zelko
