#include "operator_log.h"

#include <fstream>
#include <iostream>

#include "operator_answers.h"

namespace zelko {

namespace {

std::string Escaped(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\n':
        escaped += "\\n";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

LoggingOperator::LoggingOperator(std::unique_ptr<Operator> inner, std::string logPath)
    : inner_(std::move(inner)), logPath_(std::move(logPath)) {}

OperatorAnswer LoggingOperator::Ask(const std::string& text, BoxKind kind, const std::string& caption) {
  const OperatorAnswer answer = inner_->Ask(text, kind, caption);
  Append("box\t" + std::to_string(BoxStyle(kind)) + "\t" + Escaped(caption) + "\t" + Escaped(text) + "\t" +
         std::string(AnswerName(answer)));
  return answer;
}

void LoggingOperator::ShowNotice(const std::string& caption, const std::string& text) {
  inner_->ShowNotice(caption, text);
  noticeShown_ = true;
  Append("notice\tshow\t" + Escaped(text));
}

void LoggingOperator::CloseNotice() {
  inner_->CloseNotice();
  if (!noticeShown_) return;
  noticeShown_ = false;
  Append("notice\tclose");
}

void LoggingOperator::PaceRepeatedPrompt() { inner_->PaceRepeatedPrompt(); }

void LoggingOperator::Append(const std::string& line) {
  std::ofstream log(logPath_, std::ios::binary | std::ios::app);
  log << line << '\n' << std::flush;
  if (log || failureReported_) return;
  failureReported_ = true;
  std::cerr << "ZELKO_OPERATOR_LOG: cannot write to " << logPath_ << "\n";
}

}  // namespace zelko
