#pragma once

#include <functional>

#include "operator.h"

namespace zelko {

// Nobody at the till: every box gets its default answer at once (OK, or YES
// to the open-receipt question), notices go unseen, and a repeated prompt
// waits before the register is asked again so that a loop never spins.
class UnattendedOperator : public Operator {
 public:
  using Pause = std::function<void()>;
  // `pause` is the wait before a repeated prompt; one second unless given.
  explicit UnattendedOperator(Pause pause = {});

  OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) override;
  void ShowNotice(const std::string& caption, const std::string& text) override;
  void CloseNotice() override;
  void PaceRepeatedPrompt() override;

 private:
  Pause pause_;
};

}  // namespace zelko
