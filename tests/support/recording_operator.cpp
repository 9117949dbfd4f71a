#include "recording_operator.h"

namespace zelko::testing {

OperatorAnswer RecordingOperator::Ask(const std::string& text, BoxKind kind, const std::string& caption) {
  OperatorAnswer answer = kind == BoxKind::Question ? OperatorAnswer::Yes : OperatorAnswer::Ok;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  const char* name = answer == OperatorAnswer::Ok ? "OK" : answer == OperatorAnswer::Yes ? "YES" : "NO";
  log.push_back("box\t" + std::to_string(BoxStyle(kind)) + "\t" + caption + "\t" + text + "\t" + name);
  return answer;
}

void RecordingOperator::ShowNotice(const std::string& caption, const std::string& text) {
  log.push_back("notice\tshow\t" + text + "\t(" + caption + ")");
}

void RecordingOperator::CloseNotice() { log.push_back("notice\tclose"); }

}  // namespace zelko::testing
