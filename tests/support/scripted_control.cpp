#include "scripted_control.h"

#include <tuple>

namespace zelko::testing {

ScriptedReply RegisterScript::Play(const std::string& operation, std::size_t index, RegisterEvents* events) {
  if (events != nullptr) {
    if (const auto found = eventsBefore.find(operation); found != eventsBefore.end()) {
      for (const ScriptedEvent& event : found->second) {
        if (event.data) {
          events->DataReceived(*event.data);
        } else {
          events->StatusUpdate(event.status);
        }
      }
    }
    if (beforeAnswer) beforeAnswer(operation, *events);
  }
  if (replyTo) {
    if (auto reply = replyTo(operation, index)) return *reply;
  }
  ScriptedReply reply;
  if (operation == "SendQuery <</?s") {
    if (statusReplies.empty()) {
      reply.result = kResultNoHardware;
    } else {
      std::tie(reply.result, reply.reply) = statusReplies.front();
      if (statusReplies.size() > 1) statusReplies.pop_front();
    }
  } else if (operation.starts_with("SendQuery ")) {
    reply.reply = "?";
  } else if (operation == "ResultCodeExtended") {
    reply.result = extendedCode;
  } else if (operation.starts_with("SendCommand ")) {
    const auto failing = failingCommands.find(operation.substr(12));
    if (failing != failingCommands.end()) reply.result = failing->second;
  }
  return reply;
}

ScriptedReply ScriptedControl::Perform(const std::string& operation) {
  operations.push_back(operation);
  return Play(operation, operations.size() - 1, events_);
}

std::int32_t ScriptedControl::ClosePort() { return Perform("ClosePort").result; }

std::int32_t ScriptedControl::OpenPort(std::string_view port) { return Perform("OpenPort " + std::string(port)).result; }

void ScriptedControl::SetHighSpeed(bool value) { Perform(value ? "HighSpeed true" : "HighSpeed false"); }

std::int32_t ScriptedControl::SendCommand(std::string_view text) {
  return Perform("SendCommand " + std::string(text)).result;
}

QueryResult ScriptedControl::SendQuery(std::string_view text) {
  ScriptedReply answer = Perform("SendQuery " + std::string(text));
  return {answer.result, std::move(answer.reply)};
}

std::int32_t ScriptedControl::ResultCodeExtended() { return Perform("ResultCodeExtended").result; }

}  // namespace zelko::testing
