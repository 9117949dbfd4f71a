#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "register_control.h"

namespace zelko::testing {

// An event the register raises before an answer: a status update, or data when `data` is set.
struct ScriptedEvent {
  std::int32_t status = 0;
  std::optional<std::string> data;
};
inline ScriptedEvent StatusEvent(std::int32_t code) { return {code, std::nullopt}; }
inline ScriptedEvent DataEvent(std::string text) { return {0, std::move(text)}; }

// The register's answer to one operation. Over TCP the answer may also travel badly.
struct ScriptedReply {
  std::int32_t result = 0;  // the value, for ResultCodeExtended
  std::string reply;        // SendQuery only
  // Over TCP only:
  std::vector<std::string> linesBefore;    // after the events: stale responses, garbage
  std::chrono::milliseconds delay{0};      // before anything is sent
  bool dropConnection = false;             // close instead of answering; nothing is sent
  std::optional<std::string> rawResponse;  // sent in place of the response line
  std::vector<std::string> endless;  // in place of the response; then all of it, over and over, until the client goes
};

// What a register answers, played in-process by ScriptedControl and over TCP
// by ScriptedTcpRegister. Operations are named as recorded: "ClosePort",
// "HighSpeed true", "OpenPort COM1", "SendCommand =K", "SendQuery <</?s",
// "ResultCodeExtended".
struct RegisterScript {
  using ReplyTo = std::function<std::optional<ScriptedReply>(const std::string& operation, std::size_t index)>;

  // Replies to "<</?s" in turn, as (result, reply); the last one repeats; none: no register (107).
  // Other queries get (0, "?").
  std::deque<std::pair<std::int32_t, std::string>> statusReplies{{0, "0000000000001234"}};
  std::map<std::string, std::int32_t> failingCommands;  // SendCommand text -> result
  std::int32_t extendedCode = 0;
  std::map<std::string, std::vector<ScriptedEvent>> eventsBefore;  // raised each time the operation comes
  // Called with each operation, after its events, before it is answered; may raise more.
  std::function<void(const std::string& operation, RegisterEvents& events)> beforeAnswer;
  // The answer to the operation (its index counted from 0) in place of the one above, when it gives one.
  ReplyTo replyTo;

  // The events and the answer for one operation; events are raised only where there is a handler.
  ScriptedReply Play(const std::string& operation, std::size_t index, RegisterEvents* events);
};

// The script played in-process; every operation is recorded.
class ScriptedControl : public RegisterControl, public RegisterScript {
 public:
  std::vector<std::string> operations;

  void SetEventHandler(RegisterEvents* events) override { events_ = events; }
  std::int32_t ClosePort() override;
  std::int32_t OpenPort(std::string_view port) override;
  void SetHighSpeed(bool value) override;
  std::int32_t SendCommand(std::string_view text) override;
  QueryResult SendQuery(std::string_view text) override;
  std::int32_t ResultCodeExtended() override;

 private:
  ScriptedReply Perform(const std::string& operation);
  RegisterEvents* events_ = nullptr;
};

}  // namespace zelko::testing
