#pragma once

// A register script served over the emulator protocol by the emulator's own
// TCP server, on a free loopback port, on a thread of its own. One
// connection at a time; a client that reconnects is served again.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scripted_control.h"

namespace zelko::testing {

// "StatusUpdate" and "DataReceived" event lines.
std::string StatusEventLine(std::int32_t code);
std::string DataEventLine(const std::string& bytes);

class ScriptedTcpRegister {
 public:
  explicit ScriptedTcpRegister(RegisterScript script = {});
  // Every answer from `replyTo`.
  explicit ScriptedTcpRegister(RegisterScript::ReplyTo replyTo);
  ~ScriptedTcpRegister();
  ScriptedTcpRegister(const ScriptedTcpRegister&) = delete;
  ScriptedTcpRegister& operator=(const ScriptedTcpRegister&) = delete;

  std::string Port() const;
  // Every operation received, as the script names it, and the id of its request.
  std::vector<std::string> Operations() const;
  std::vector<std::int64_t> Ids() const;
  int Connections() const;

 private:
  class Server;
  std::unique_ptr<Server> server_;
};

}  // namespace zelko::testing
