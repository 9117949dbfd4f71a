#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "default_operator.h"
#include "terminal_operator.h"
#include "unattended_operator.h"

namespace zelko {

// The terminal when someone may be at it (standard input is a terminal and
// /dev/tty opens), otherwise nobody.
std::unique_ptr<Operator> MakeDefaultOperator() {
  if (::isatty(STDIN_FILENO)) {
    auto in = std::make_unique<std::ifstream>("/dev/tty");
    auto out = std::make_unique<std::ofstream>("/dev/tty");
    if (*in && *out) {
      return std::make_unique<TerminalOperator>(std::move(in), std::move(out),
                                                std::make_unique<UnattendedOperator>());
    }
  }
  return std::make_unique<UnattendedOperator>();
}

void PauseOneSecond() { std::this_thread::sleep_for(std::chrono::seconds(1)); }

}  // namespace zelko
