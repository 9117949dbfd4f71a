#pragma once

#include <string>

namespace zelko {

// Message-box styles the driver uses.
inline constexpr int kStyleStop = 16;         // stop icon, OK
inline constexpr int kStyleInformation = 64;  // information icon, OK
inline constexpr int kStyleQuestion = 52;     // warning icon, Yes and No

enum class OperatorAnswer { Ok, Yes, No };

// The person at the till: modal message boxes and the modeless paper notice.
class Operator {
 public:
  virtual ~Operator() = default;
  virtual OperatorAnswer MessageBox(const std::string& text, int style, const std::string& caption) = 0;
  // Shows the notice, or replaces its text when it is already shown.
  virtual void ShowNotice(const std::string& caption, const std::string& text) = 0;
  // Closes the notice when it is shown; otherwise nothing.
  virtual void CloseNotice() = 0;
  // Called before a prompt that is about to repeat asks the register again;
  // an operator that answers by itself waits here so a loop never spins.
  virtual void PaceRepeatedPrompt() = 0;
};

}  // namespace zelko
