#pragma once

#include <deque>
#include <string>
#include <vector>

#include "operator.h"

namespace zelko::testing {

// Answers boxes from a queue (OK, or YES for the question, when it runs out)
// and logs every interaction in the operator log's line format.
class RecordingOperator : public Operator {
 public:
  std::deque<OperatorAnswer> answers;
  std::vector<std::string> log;
  int paces = 0;

  OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) override;
  void ShowNotice(const std::string& caption, const std::string& text) override;
  void CloseNotice() override;
  void PaceRepeatedPrompt() override { ++paces; }
};

}  // namespace zelko::testing
