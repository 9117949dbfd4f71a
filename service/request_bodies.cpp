#include "request_bodies.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "emulator_protocol.h"

namespace zelko::service {

namespace {

using nlohmann::json;

constexpr const char* kCrlf = "\r\n";

std::optional<json> ParseObject(std::string_view body, std::string& error) {
  json value = json::parse(body, nullptr, false);
  if (value.is_discarded()) {
    error = "the body is not valid JSON";
    return std::nullopt;
  }
  if (!value.is_object()) {
    error = "the body must be a JSON object";
    return std::nullopt;
  }
  return value;
}

// Names a field that the request does not know; typos must not pass silently.
std::optional<std::string> UnknownField(const json& object, const std::set<std::string>& known) {
  for (const auto& item : object.items()) {
    if (!known.contains(item.key())) return item.key();
  }
  return std::nullopt;
}

// A JSON string as the register's bytes: each code point U+0000..U+00FF is
// one byte. Empty, with `error` set, for anything else.
std::optional<std::string> RegisterText(const json& value, const std::string& what, std::string& error) {
  if (!value.is_string()) {
    error = what + " must be a string";
    return std::nullopt;
  }
  auto bytes = ProtocolTextToBytes(value.get_ref<const std::string&>());
  if (!bytes) {
    error = what + " holds a character above U+00FF, which the register cannot take";
    return std::nullopt;
  }
  return bytes;
}

// A line of a command file cannot hold a CR (it would end the line early),
// so no receipt of the service does either.
std::optional<std::string> LineText(const json& value, const std::string& what, std::string& error) {
  auto bytes = RegisterText(value, what, error);
  if (bytes && bytes->find('\r') != std::string::npos) {
    error = what + " holds a carriage return";
    return std::nullopt;
  }
  return bytes;
}

// Line ends of the article text as the loader reads them: CR LF, a lone CR
// and, since JSON texts usually end lines with LF, a lone LF too.
std::string WithCrlfLineEnds(const std::string& text) {
  std::string file;
  file.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n') {
      file += kCrlf;
    } else {
      file += c;
    }
  }
  return file;
}

}  // namespace

std::variant<Receipt, BadRequest> ReceiptFromBody(std::string_view body) {
  std::string error;
  const auto object = ParseObject(body, error);
  if (!object) return BadRequest{error};
  if (const auto field = UnknownField(*object, {"port", "speed", "commands"})) {
    return BadRequest{"unknown field \"" + *field + "\""};
  }
  for (const char* name : {"port", "speed", "commands"}) {
    if (!object->contains(name)) return BadRequest{std::string("\"") + name + "\" is missing"};
  }
  const auto port = LineText(object->at("port"), "\"port\"", error);
  if (!port) return BadRequest{error};
  const auto speed = LineText(object->at("speed"), "\"speed\"", error);
  if (!speed) return BadRequest{error};
  const json& commands = object->at("commands");
  if (!commands.is_array()) return BadRequest{"\"commands\" must be an array of strings"};
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    auto command = LineText(commands[i], "command " + std::to_string(i + 1), error);
    if (!command) return BadRequest{error};
    lines.push_back(std::move(*command));
  }
  return ReceiptOf(*port, *speed, std::move(lines));
}

std::variant<ArticleRequest, BadRequest> ParseArticleBody(std::string_view body) {
  std::string error;
  const auto object = ParseObject(body, error);
  if (!object) return BadRequest{error};
  if (const auto field = UnknownField(*object, {"text", "lowSpeed"})) {
    return BadRequest{"unknown field \"" + *field + "\""};
  }
  if (!object->contains("text")) return BadRequest{"\"text\" is missing"};
  const auto text = RegisterText(object->at("text"), "\"text\"", error);
  if (!text) return BadRequest{error};
  ArticleRequest request{WithCrlfLineEnds(*text), false};
  if (object->contains("lowSpeed")) {
    const json& lowSpeed = object->at("lowSpeed");
    if (!lowSpeed.is_boolean()) return BadRequest{"\"lowSpeed\" must be true or false"};
    request.lowSpeed = lowSpeed.get<bool>();
  }
  return request;
}

}  // namespace zelko::service
