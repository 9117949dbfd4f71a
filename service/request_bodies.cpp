#include "request_bodies.h"

#include <optional>

#include "emulator_protocol.h"
#include "flat_json_object.h"

namespace zelko::service {

namespace {

constexpr const char* kCrlf = "\r\n";

// More command lines than any receipt needs would only cost memory.
constexpr std::size_t kMaxCommands = 100000;

// A JSON text as the register's bytes: each code point U+0000..U+00FF is one
// byte. Nothing, with `error` set, for anything else.
std::optional<std::string> RegisterText(const std::string& text, const std::string& what, std::string& error) {
  auto bytes = ProtocolTextToBytes(text);
  if (!bytes) {
    error = what + " holds a character above U+00FF, which the register cannot take";
    return std::nullopt;
  }
  return bytes;
}

// A line of a command file cannot hold a CR (it would end the line early),
// so no receipt of the service does either.
std::optional<std::string> LineText(const std::string& text, const std::string& what, std::string& error) {
  auto bytes = RegisterText(text, what, error);
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
  auto object = ReadFlatObject(body,
                               {{"port", FieldKind::String},
                                {"speed", FieldKind::String},
                                {"commands", FieldKind::Strings, true, "command", kMaxCommands}},
                               error);
  if (!object) return BadRequest{error};
  const auto port = LineText(std::get<std::string>(object->at("port")), "\"port\"", error);
  if (!port) return BadRequest{error};
  const auto speed = LineText(std::get<std::string>(object->at("speed")), "\"speed\"", error);
  if (!speed) return BadRequest{error};
  auto& lines = std::get<std::vector<std::string>>(object->at("commands"));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto command = LineText(lines[i], "command " + std::to_string(i + 1), error);
    if (!command) return BadRequest{error};
    lines[i] = std::move(*command);
  }
  return ReceiptOf(*port, *speed, std::move(lines));
}

std::variant<ArticleRequest, BadRequest> ParseArticleBody(std::string_view body) {
  std::string error;
  const auto object =
      ReadFlatObject(body, {{"text", FieldKind::String}, {"lowSpeed", FieldKind::Boolean, false}}, error);
  if (!object) return BadRequest{error};
  const auto text = RegisterText(std::get<std::string>(object->at("text")), "\"text\"", error);
  if (!text) return BadRequest{error};
  const auto lowSpeed = object->find("lowSpeed");
  return ArticleRequest{WithCrlfLineEnds(*text), lowSpeed != object->end() && std::get<bool>(lowSpeed->second)};
}

std::variant<std::string, BadRequest> ParseProbeBody(std::string_view body) {
  std::string error;
  const auto object = ReadFlatObject(body, {{"port", FieldKind::String, false}}, error);
  if (!object) return BadRequest{error};
  const auto field = object->find("port");
  if (field == object->end()) return std::string();
  const auto port = LineText(std::get<std::string>(field->second), "\"port\"", error);
  if (!port) return BadRequest{error};
  return *port;
}

}  // namespace zelko::service
