#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "receipt.h"

namespace zelko::service {

// Why a request body cannot be used; the reply is 400 with this text.
struct BadRequest {
  std::string message;
};

// The receipt that a body {"port", "speed", "commands"} stands for: the one
// ZelkoDriver would read from a command file of these lines.
std::variant<Receipt, BadRequest> ReceiptFromBody(std::string_view body);

struct ArticleRequest {
  std::string articleFile;  // the article file's bytes, lines ended by CR LF
  bool lowSpeed = false;    // the loader's "-LS" switch
};

// A body {"text", "lowSpeed"}.
std::variant<ArticleRequest, BadRequest> ParseArticleBody(std::string_view body);

// A body {"port"} for the register's probe: the port, or "" (also when the
// field is absent) for every serial port.
std::variant<std::string, BadRequest> ParseProbeBody(std::string_view body);

}  // namespace zelko::service
