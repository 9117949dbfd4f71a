#include "unattended_operator.h"

#include <chrono>
#include <thread>

#include "operator_answers.h"

namespace zelko {

namespace {
void SleepOneSecond() { std::this_thread::sleep_for(std::chrono::seconds(1)); }
}  // namespace

UnattendedOperator::UnattendedOperator(Pause pause) : pause_(pause ? std::move(pause) : Pause(SleepOneSecond)) {}

OperatorAnswer UnattendedOperator::Ask(const std::string&, BoxKind kind, const std::string&) {
  return DefaultAnswer(kind);
}

void UnattendedOperator::ShowNotice(const std::string&, const std::string&) {}

void UnattendedOperator::CloseNotice() {}

void UnattendedOperator::PaceRepeatedPrompt() { pause_(); }

}  // namespace zelko
