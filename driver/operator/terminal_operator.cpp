#include "terminal_operator.h"

#include "operator_answers.h"
#include "text.h"

namespace zelko {

namespace {

constexpr const char* kClearLine = "\r\x1b[K";

// Control bytes would move the cursor or worse; they are shown as "?".
std::string Printable(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return shown;
}

std::string_view IconMark(BoxKind kind) {
  switch (kind) {
    case BoxKind::Stop:
      return "(X) ";
    case BoxKind::Question:
      return "(!) ";
    case BoxKind::Information:
      return "(i) ";
  }
  return "";
}

std::optional<OperatorAnswer> ReadYesNo(const std::string& line) {
  const std::string word = ToUpperAscii(TrimSpaces(line));
  if (word == "Y" || word == "YES" || word == "S" || word == "SI") return OperatorAnswer::Yes;
  if (word == "N" || word == "NO") return OperatorAnswer::No;
  return std::nullopt;
}

}  // namespace

TerminalOperator::TerminalOperator(std::unique_ptr<std::istream> in, std::unique_ptr<std::ostream> out,
                                   std::unique_ptr<Operator> afterwards)
    : in_(std::move(in)), out_(std::move(out)), afterwards_(std::move(afterwards)) {}

TerminalOperator::~TerminalOperator() {
  if (notice_) ClearStatusLine();
}

OperatorAnswer TerminalOperator::Ask(const std::string& text, BoxKind kind, const std::string& caption) {
  if (!inputEnded_) {
    if (notice_) ClearStatusLine();
    *out_ << "\n" << Printable(caption) << "\n" << IconMark(kind) << Printable(text) << "\n";
    const auto answer = ReadAnswer(kind);
    if (notice_) DrawNotice();
    if (answer) return *answer;
    inputEnded_ = true;
  }
  return afterwards_->Ask(text, kind, caption);
}

// Empty when the input ends before an answer.
std::optional<OperatorAnswer> TerminalOperator::ReadAnswer(BoxKind kind) {
  const bool yesNo = kind == BoxKind::Question;
  for (;;) {
    *out_ << (yesNo ? "[Yes/No] " : "[OK] ") << std::flush;
    std::string line;
    if (!std::getline(*in_, line)) {
      *out_ << "\n" << std::flush;
      return std::nullopt;
    }
    if (!yesNo) return OperatorAnswer::Ok;
    if (const auto answer = ReadYesNo(line.substr(0, line.find('\r')))) return answer;
  }
}

void TerminalOperator::ShowNotice(const std::string& caption, const std::string& text) {
  notice_ = Printable(caption) + ": " + Printable(text);
  DrawNotice();
}

void TerminalOperator::CloseNotice() {
  if (!notice_) return;
  ClearStatusLine();
  notice_.reset();
}

void TerminalOperator::PaceRepeatedPrompt() {
  if (inputEnded_) afterwards_->PaceRepeatedPrompt();
}

void TerminalOperator::ClearStatusLine() { *out_ << kClearLine << std::flush; }

void TerminalOperator::DrawNotice() { *out_ << kClearLine << *notice_ << std::flush; }

}  // namespace zelko
