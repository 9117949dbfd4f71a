#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulated_register.h"

namespace zelko::emulator {

// The emulator's side of one request line of the TCP protocol: the lines to
// send back (events first, then the response), after `delay`. `drop` closes
// the connection instead, either because the scenario says so or because the
// line was not a well-formed request (`problem` says why). `repeat` sends the
// lines over and over until the client goes: an endless stream.
struct SessionReply {
  std::optional<Operation> operation;
  std::vector<std::string> lines;
  std::chrono::milliseconds delay{0};
  bool drop = false;
  bool repeat = false;
  std::string problem;
};

SessionReply AnswerRequestLine(EmulatedRegister& emulatedRegister, std::string_view line);

// What a client is told when another one is being served, before its
// connection is closed. It carries no id, so a driver takes it as a lost connection.
std::string BusyLine();

}  // namespace zelko::emulator
