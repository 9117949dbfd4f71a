#include "terminal_progress.h"

#include <ostream>

namespace zelko {

TerminalProgress::~TerminalProgress() {
  if (shown_) terminal_ << "\n" << std::flush;
}

void TerminalProgress::CommandsToSend(std::size_t total) {
  total_ = total;
  sent_ = 0;
  Show();
}

void TerminalProgress::CommandSent() {
  ++sent_;
  const std::size_t percent = total_ == 0 ? 100 : sent_ * 100 / total_;
  if (percent != shownPercent_ || sent_ == total_) Show();
}

void TerminalProgress::Show() {
  shownPercent_ = total_ == 0 ? 100 : sent_ * 100 / total_;
  terminal_ << "\rZelkoDriver: " << sent_ << "/" << total_ << " command lines sent" << std::flush;
  shown_ = true;
}

}  // namespace zelko
