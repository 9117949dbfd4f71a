#include "protocol_session.h"

#include <cstdint>
#include <nlohmann/json.hpp>

#include "emulator_protocol.h"

namespace zelko::emulator {
namespace {

using nlohmann::json;

SessionReply Refuse(std::string problem) {
  SessionReply reply;
  reply.drop = true;
  reply.problem = std::move(problem);
  return reply;
}

// The request's text argument as bytes; empty when missing or not a byte text.
std::optional<std::string> TextArgument(const json& request, const char* name) {
  const auto field = request.find(name);
  if (field == request.end() || !field->is_string()) return std::nullopt;
  return ProtocolTextToBytes(field->get_ref<const std::string&>());
}

// Reads the fields that the operation needs; the problem when one is missing or wrong.
std::string ReadArguments(const json& message, Request& request) {
  switch (request.operation) {
    case Operation::OpenPort:
    case Operation::SendCommand:
    case Operation::SendQuery: {
      const char* name = request.operation == Operation::OpenPort ? "port" : "text";
      const auto text = TextArgument(message, name);
      if (!text) return std::string("\"") + name + "\" must be a text of bytes";
      request.text = *text;
      return {};
    }
    case Operation::HighSpeed: {
      const auto value = message.find("value");
      if (value == message.end() || !value->is_boolean()) return "\"value\" must be true or false";
      request.value = value->get<bool>();
      return {};
    }
    case Operation::ClosePort:
    case Operation::ResultCodeExtended:
      return {};
  }
  return {};
}

json EventMessage(const RegisterEvent& event) {
  if (event.kind == RegisterEvent::Kind::StatusUpdate) return {{"event", protocol::kStatusUpdate}, {"code", event.code}};
  return {{"event", protocol::kDataReceived}, {"text", BytesToProtocolText(event.text)}};
}

json ResponseMessage(const json& id, Operation operation, const Outcome& outcome) {
  json response{{"id", id}};
  if (operation == Operation::ResultCodeExtended) {
    response["value"] = outcome.result;
    return response;
  }
  response["result"] = outcome.result;
  if (operation == Operation::SendQuery) response["reply"] = BytesToProtocolText(outcome.reply);
  return response;
}

}  // namespace

SessionReply AnswerRequestLine(EmulatedRegister& emulatedRegister, std::string_view line) {
  const json message = json::parse(line, nullptr, false);
  if (message.is_discarded()) return Refuse("not a JSON line");
  if (!message.is_object()) return Refuse("not a JSON object");
  const auto id = message.find("id");
  if (id == message.end() || !id->is_number_integer()) return Refuse("\"id\" must be a whole number");
  const auto name = message.find("op");
  if (name == message.end() || !name->is_string()) return Refuse("\"op\" must be a text");
  const auto operation = OperationFromName(name->get_ref<const std::string&>());
  if (!operation) return Refuse("unknown operation " + name->dump());

  Request request;
  request.operation = *operation;
  if (std::string problem = ReadArguments(message, request); !problem.empty()) return Refuse(problem);

  const Outcome outcome = emulatedRegister.Perform(request);
  SessionReply reply;
  reply.operation = *operation;
  reply.delay = outcome.delay;
  reply.drop = outcome.drop;
  if (outcome.drop) return reply;
  for (const RegisterEvent& event : outcome.events) reply.lines.push_back(EventMessage(event).dump());
  reply.lines.push_back(ResponseMessage(*id, *operation, outcome).dump());
  return reply;
}

std::string BusyLine() {
  return json{{"error", "busy"}, {"message", "ZelkoEmulator serves one driver at a time and another one is connected"}}
      .dump();
}

}  // namespace zelko::emulator
