#include "unattended_operator.h"

#include "default_operator.h"
#include "operator_answers.h"

namespace zelko {

UnattendedOperator::UnattendedOperator(Pause pause) : pause_(pause ? std::move(pause) : Pause(PauseOneSecond)) {}

OperatorAnswer UnattendedOperator::Ask(const std::string&, BoxKind kind, const std::string&) {
  return DefaultAnswer(kind);
}

void UnattendedOperator::ShowNotice(const std::string&, const std::string&) {}

void UnattendedOperator::CloseNotice() {}

void UnattendedOperator::PaceRepeatedPrompt() { pause_(); }

}  // namespace zelko
