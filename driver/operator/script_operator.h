#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operator.h"

namespace zelko {

// One scripted answer; empty for a line that names no button.
using ScriptAnswer = std::optional<OperatorAnswer>;

// One answer per line: OK, YES or NO in any case, spaces around it ignored,
// blank lines skipped; a line ends at LF, CR LF or a lone CR. Any other line is an answer that fits no box.
std::vector<ScriptAnswer> ParseScriptAnswers(std::string_view text);

// Answers each box with the next scripted answer; one that is not among the
// box's buttons counts as the box's default. When the answers run out,
// `afterwards` (the unattended operator) takes over.
class ScriptOperator : public Operator {
 public:
  ScriptOperator(std::vector<ScriptAnswer> answers, std::unique_ptr<Operator> afterwards);

  OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) override;
  void ShowNotice(const std::string& caption, const std::string& text) override;
  void CloseNotice() override;
  // Scripted answers come at once; the wait begins when they are used up.
  void PaceRepeatedPrompt() override;

 private:
  std::vector<ScriptAnswer> answers_;
  std::size_t next_ = 0;
  std::unique_ptr<Operator> afterwards_;
};

}  // namespace zelko
