// The emulator's side of the TCP protocol: request lines answered by a fresh
// register, optionally shaped by a scenario. Whatever it sends back must be
// lines the driver's client can read: JSON objects, events first, then the
// response with the request's id, texts in the byte encoding.
// Input: [scenario text, a line "---"], then request lines (LF-separated).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "emulated_register.h"
#include "emulator_protocol.h"
#include "fuzz_check.h"
#include "journal.h"
#include "protocol_session.h"
#include "scenario.h"

namespace zelko::fuzzing {
namespace {

using nlohmann::json;
using namespace zelko::emulator;

constexpr std::string_view kScenarioEnd = "\n---\n";

bool IsByteText(const json& message, const char* name) {
  const auto field = message.find(name);
  return field == message.end() || (field->is_string() && ProtocolTextToBytes(field->get<std::string>()));
}

void CheckReply(std::string_view request, const SessionReply& reply) {
  if (reply.drop) {
    Require(reply.lines.empty());
    return;
  }
  Require(reply.operation.has_value() && !reply.lines.empty());
  for (std::size_t i = 0; i < reply.lines.size(); ++i) {
    const json message = json::parse(reply.lines[i], nullptr, false);
    Require(message.is_object() && IsByteText(message, "text") && IsByteText(message, "reply"));
    Require(reply.lines[i].find('\n') == std::string::npos);
    const bool last = i + 1 == reply.lines.size();
    Require(message.contains("event") != last);
    if (last) Require(message.at("id") == json::parse(request).at("id"));
  }
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  zelko::emulator::Scenario scenario;
  if (const std::size_t end = input.find(kScenarioEnd); end != std::string_view::npos) {
    zelko::emulator::ScenarioParse parse = zelko::emulator::ParseScenario(input.substr(0, end));
    if (parse.error.empty()) scenario = std::move(parse.scenario);
    input.remove_prefix(end + kScenarioEnd.size());
  }
  zelko::emulator::Journal journal;
  zelko::emulator::EmulatedRegister emulatedRegister(std::move(scenario), journal);
  while (!input.empty()) {
    const std::string_view line = input.substr(0, input.find('\n'));
    input.remove_prefix(std::min(line.size() + 1, input.size()));
    CheckReply(line, zelko::emulator::AnswerRequestLine(emulatedRegister, line));
  }
  return 0;
}
