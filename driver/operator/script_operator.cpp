#include "script_operator.h"

#include "operator_answers.h"
#include "text.h"

namespace zelko {

namespace {

ScriptAnswer ParseAnswer(std::string_view word) {
  const std::string upper = ToUpperAscii(word);
  if (upper == "OK") return OperatorAnswer::Ok;
  if (upper == "YES") return OperatorAnswer::Yes;
  if (upper == "NO") return OperatorAnswer::No;
  return std::nullopt;
}

}  // namespace

std::vector<ScriptAnswer> ParseScriptAnswers(std::string_view text) {
  std::vector<ScriptAnswer> answers;
  while (!text.empty()) {
    const auto end = text.find_first_of("\r\n");  // LF, CR LF or a lone CR
    const std::string_view word = TrimSpaces(text.substr(0, end));
    if (!word.empty()) answers.push_back(ParseAnswer(word));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return answers;
}

ScriptOperator::ScriptOperator(std::vector<ScriptAnswer> answers, std::unique_ptr<Operator> afterwards)
    : answers_(std::move(answers)), afterwards_(std::move(afterwards)) {}

OperatorAnswer ScriptOperator::Ask(const std::string& text, BoxKind kind, const std::string& caption) {
  if (next_ >= answers_.size()) return afterwards_->Ask(text, kind, caption);
  const ScriptAnswer answer = answers_[next_++];
  return answer && FitsBox(*answer, kind) ? *answer : DefaultAnswer(kind);
}

void ScriptOperator::ShowNotice(const std::string& caption, const std::string& text) {
  afterwards_->ShowNotice(caption, text);
}

void ScriptOperator::CloseNotice() { afterwards_->CloseNotice(); }

void ScriptOperator::PaceRepeatedPrompt() {
  if (next_ >= answers_.size()) afterwards_->PaceRepeatedPrompt();
}

}  // namespace zelko
