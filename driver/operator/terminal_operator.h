#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "operator.h"

namespace zelko {

// The operator at a text terminal: a box is printed as its caption, its text
// and the buttons ("[OK]" or "[Yes/No]") and answered with a line; the notice
// is a status line that stays until it is closed. Once the terminal's input
// ends, `afterwards` (the unattended operator) answers instead.
class TerminalOperator : public Operator {
 public:
  TerminalOperator(std::unique_ptr<std::istream> in, std::unique_ptr<std::ostream> out,
                   std::unique_ptr<Operator> afterwards);
  ~TerminalOperator() override;
  TerminalOperator(const TerminalOperator&) = delete;
  TerminalOperator& operator=(const TerminalOperator&) = delete;

  OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) override;
  void ShowNotice(const std::string& caption, const std::string& text) override;
  void CloseNotice() override;
  // A person answers at their own pace: no wait while the terminal is there.
  void PaceRepeatedPrompt() override;

 private:
  std::optional<OperatorAnswer> ReadAnswer(BoxKind kind);
  void ClearStatusLine();
  void DrawNotice();

  std::unique_ptr<std::istream> in_;
  std::unique_ptr<std::ostream> out_;
  std::unique_ptr<Operator> afterwards_;
  std::optional<std::string> notice_;
  bool inputEnded_ = false;
};

}  // namespace zelko
