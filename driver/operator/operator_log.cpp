#include "operator_log.h"

#include <ostream>

#include "operator_answers.h"
#include "text.h"

namespace zelko {

LoggingOperator::LoggingOperator(std::unique_ptr<Operator> inner, const HostServices& host, std::string logPath,
                                 std::ostream& diagnostics)
    : inner_(std::move(inner)), host_(host), logPath_(std::move(logPath)), diagnostics_(diagnostics) {}

OperatorAnswer LoggingOperator::Ask(const std::string& text, BoxKind kind, const std::string& caption) {
  const OperatorAnswer answer = inner_->Ask(text, kind, caption);
  Append("box\t" + std::to_string(BoxStyle(kind)) + "\t" + EscapeForLog(caption) + "\t" + EscapeForLog(text) + "\t" +
         std::string(AnswerName(answer)));
  return answer;
}

void LoggingOperator::ShowNotice(const std::string& caption, const std::string& text) {
  inner_->ShowNotice(caption, text);
  noticeShown_ = true;
  AppendNotice("notice\tshow\t" + EscapeForLog(text));
}

void LoggingOperator::CloseNotice() {
  inner_->CloseNotice();
  if (!noticeShown_) return;
  noticeShown_ = false;
  AppendNotice("notice\tclose");
}

void LoggingOperator::PaceRepeatedPrompt() { inner_->PaceRepeatedPrompt(); }

void LoggingOperator::AppendNotice(const std::string& line) {
  if (noticeLines_ < kOperatorLogMaxNoticeLines) {
    ++noticeLines_;
    Append(line);
  } else if (!noticeLimitTold_) {
    noticeLimitTold_ = true;
    diagnostics_ << "ZELKO_OPERATOR_LOG: more than " << kOperatorLogMaxNoticeLines
              << " notice changes in this run; the rest are not logged to " << logPath_ << "\n";
  }
}

void LoggingOperator::Append(const std::string& line) {
  const auto log = host_.OpenAppend(logPath_);
  if ((log && log->Write(line + "\n") && log->Commit()) || failureReported_) return;
  failureReported_ = true;
  diagnostics_ << "ZELKO_OPERATOR_LOG: cannot write to " << logPath_ << "\n";
}

}  // namespace zelko
