#pragma once

#include <memory>
#include <optional>
#include <string>

#include "stop_signal.h"

namespace zelko::emulator {

// The operator's keyboard. On a terminal each key counts at once (KeyMode);
// otherwise commands come a line at a time. Both readers give up, returning
// nothing, at the end of the input or when the stop switch is pulled.
class ConsoleInput {
 public:
  explicit ConsoleInput(const StopSignal& stop);
  ~ConsoleInput();
  ConsoleInput(const ConsoleInput&) = delete;
  ConsoleInput& operator=(const ConsoleInput&) = delete;

  bool KeyMode() const;
  std::optional<char> ReadKey();
  // A whole line (without its end), read with the terminal's line editing.
  std::optional<std::string> ReadLine();

 private:
  struct Terminal;
  std::optional<char> ReadByte();

  const StopSignal& stop_;
  std::unique_ptr<Terminal> terminal_;
  std::string buffered_;
};

}  // namespace zelko::emulator
