// What the service reads of a request before anything reaches the register:
// the raw head, and the bodies of the three POSTs. None may crash or hang,
// and a body taken by the one-pass reader must be one that a full JSON parse
// gives as the same request: an object, a command for each array item, no CR
// in a receipt's line, article lines ended by CR LF.
// Input: a head, through its blank line, then the body.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>
#include <variant>

#include "fuzz_check.h"
#include "request_bodies.h"
#include "request_head.h"

namespace zelko::fuzzing {
namespace {

using nlohmann::json;
using namespace zelko::service;

json ParsedObject(std::string_view body) {
  const json parsed = json::parse(body, nullptr, false);
  Require(parsed.is_object());
  return parsed;
}

void CheckReceipt(std::string_view body) {
  const auto read = ReceiptFromBody(body);
  const auto* receipt = std::get_if<Receipt>(&read);
  if (receipt == nullptr) return;
  const json parsed = ParsedObject(body);
  Require(parsed.size() == 3 && parsed.at("commands").size() == receipt->commandLines.size());
  Require(receipt->LineCountMatches());
  for (const auto& line : receipt->commandLines) Require(line.find('\r') == std::string::npos);
}

void CheckArticles(std::string_view body) {
  const auto read = ParseArticleBody(body);
  const auto* articles = std::get_if<ArticleRequest>(&read);
  if (articles == nullptr) return;
  Require(ParsedObject(body).at("text").is_string());
  const std::string& file = articles->articleFile;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] == '\r') Require(i + 1 < file.size() && file[i + 1] == '\n');
    if (file[i] == '\n') Require(i > 0 && file[i - 1] == '\r');
  }
}

void CheckProbe(std::string_view body) {
  const auto read = ParseProbeBody(body);
  if (std::holds_alternative<BadRequest>(read)) return;
  Require(ParsedObject(body).size() <= 1);
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t headEnd = input.find("\r\n\r\n");
  const std::string_view head = input.substr(0, headEnd == std::string_view::npos ? input.size() : headEnd + 4);
  static_cast<void>(zelko::service::RequestHeadProblem(head));
  const std::string_view body = input.substr(head.size());
  CheckReceipt(body);
  CheckArticles(body);
  CheckProbe(body);
  return 0;
}
