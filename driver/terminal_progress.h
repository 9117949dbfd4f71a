#pragma once

#include <cstddef>
#include <iosfwd>

#include "run_progress.h"

namespace zelko {

// A one-line progress indicator for a person at a terminal: "ZelkoDriver:
// 120/2400 command lines sent", rewritten in place whenever the percentage
// moves, and ended by a line feed when the run is over.
class TerminalProgress final : public RunProgress {
 public:
  explicit TerminalProgress(std::ostream& terminal) : terminal_(terminal) {}
  ~TerminalProgress() override;
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void CommandsToSend(std::size_t total) override;
  void CommandSent() override;

 private:
  void Show();

  std::ostream& terminal_;
  std::size_t total_ = 0;
  std::size_t sent_ = 0;
  std::size_t shownPercent_ = 0;
  bool shown_ = false;
};

}  // namespace zelko
