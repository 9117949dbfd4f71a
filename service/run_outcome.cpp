#include "run_outcome.h"

#include <charconv>
#include <nlohmann/json.hpp>

#include "emulator_protocol.h"

namespace zelko::service {

namespace {

// The result file's texts are bytes; JSON carries each byte as the code point of the same value.
nlohmann::json Text(const std::string& bytes) { return BytesToProtocolText(bytes); }

long long FailureCode(const std::string& line) {
  long long code = 0;
  std::from_chars(line.data(), line.data() + line.size(), code);
  return code;
}

}  // namespace

Reply ReceiptReply(const RunOutcome& outcome) {
  const auto& lines = outcome.resultLines;
  if (!lines || lines->size() != 2) {
    return ErrorReply(500, "the run ended without a result: " + BytesToProtocolText(outcome.diagnostics));
  }
  nlohmann::json body;
  if ((*lines)[1] == "OK") {
    body = {{"ok", true}, {"status", Text((*lines)[0])}};
  } else {
    body = {{"ok", false}, {"code", FailureCode((*lines)[0])}, {"message", Text((*lines)[1])}};
  }
  nlohmann::json data = nlohmann::json::array();
  for (const auto& line : outcome.dataLines) data.push_back(Text(line));
  body["data"] = std::move(data);
  return {200, body.dump(), false};
}

}  // namespace zelko::service
