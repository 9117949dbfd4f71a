#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "console_input.h"

namespace zelko::emulator {

// The terminal's settings on entry, restored on exit; absent when standard
// input is not a terminal.
struct ConsoleInput::Terminal {
  termios saved{};

  void SetLineEditing(bool on) const {
    termios changed = saved;
    if (!on) {
      changed.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
      changed.c_cc[VMIN] = 1;
      changed.c_cc[VTIME] = 0;
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &changed);
  }
};

ConsoleInput::ConsoleInput(const StopSignal& stop) : stop_(stop) {
  termios saved{};
  if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0) {
    terminal_ = std::make_unique<Terminal>();
    terminal_->saved = saved;
    terminal_->SetLineEditing(false);
  }
}

ConsoleInput::~ConsoleInput() {
  if (terminal_) terminal_->SetLineEditing(true);
}

bool ConsoleInput::KeyMode() const { return terminal_ != nullptr; }

std::optional<char> ConsoleInput::ReadByte() {
  if (buffered_.empty()) {
    pollfd watch[2] = {{stop_.Handle(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
      const int ready = poll(watch, 2, -1);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0 || watch[0].revents != 0) return std::nullopt;
      char chunk[4096];
      const ssize_t count = read(STDIN_FILENO, chunk, sizeof chunk);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return std::nullopt;
      buffered_.assign(chunk, static_cast<std::size_t>(count));
      break;
    }
  }
  const char byte = buffered_.front();
  buffered_.erase(0, 1);
  return byte;
}

std::optional<char> ConsoleInput::ReadKey() {
  for (;;) {
    const auto byte = ReadByte();
    if (!byte || (*byte != '\n' && *byte != '\r')) return byte;
  }
}

std::optional<std::string> ConsoleInput::ReadLine() {
  if (terminal_) terminal_->SetLineEditing(true);
  std::string line;
  std::optional<char> byte;
  while ((byte = ReadByte()) && *byte != '\n') line += *byte;
  if (terminal_) terminal_->SetLineEditing(false);
  if (!byte && line.empty()) return std::nullopt;
  if (line.ends_with('\r')) line.pop_back();
  return line;
}

}  // namespace zelko::emulator
