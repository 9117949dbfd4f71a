#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "host_services.h"
#include "operator.h"

namespace zelko {

// Passes every interaction on to `inner` and appends it to the log file as
// one tab-separated, LF-terminated line:
//   box<TAB>style<TAB>caption<TAB>text<TAB>answer   (answer OK, YES or NO)
//   notice<TAB>show<TAB>text                       (each time a notice is shown)
//   notice<TAB>close                               (a shown notice closed)
// Texts are escaped (EscapeForLog: \\, \t, \r, \n, \xHH) so that each
// interaction stays one line and reads back unchanged. Each line is appended and flushed on its own,
// so a run that is killed keeps what it logged. A run logs at most
// kOperatorLogMaxNoticeLines notice lines (one diagnostics line says when the
// rest is left out), so that a register flooding paper events cannot fill the disk.
inline constexpr int kOperatorLogMaxNoticeLines = 1000;

class LoggingOperator : public Operator {
 public:
  LoggingOperator(std::unique_ptr<Operator> inner, const HostServices& host, std::string logPath,
                  std::ostream& diagnostics);

  OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) override;
  void ShowNotice(const std::string& caption, const std::string& text) override;
  void CloseNotice() override;
  void PaceRepeatedPrompt() override;

 private:
  void Append(const std::string& line);
  void AppendNotice(const std::string& line);

  std::unique_ptr<Operator> inner_;
  const HostServices& host_;
  std::string logPath_;
  std::ostream& diagnostics_;
  bool noticeShown_ = false;
  int noticeLines_ = 0;
  bool noticeLimitTold_ = false;
  bool failureReported_ = false;
};

}  // namespace zelko
