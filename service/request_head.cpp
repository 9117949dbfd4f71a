#include "request_head.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

#include "idempotent_requests.h"

namespace zelko::service {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::array<std::string_view, 6> kOnce{"host",          "idempotency-key", "origin",
                                                "authorization", "content-type",    "content-length"};

bool IsTokenCharacter(unsigned char c) {
  return std::isalnum(c) != 0 || std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

}  // namespace

std::optional<std::string> RequestHeadProblem(std::string_view head) {
  std::map<std::string, int> seen;
  for (std::size_t start = 0, end; (end = head.find(kLineEnd, start)) != std::string_view::npos;
       start = end + kLineEnd.size()) {
    const std::string_view line = head.substr(start, end - start);
    if (line.find_first_of("\r\n") != std::string_view::npos) return "a line of the request head does not end in CR LF";
    if (line.empty() || start == 0) continue;
    if (IsBlank(line.front())) return "folded header lines are not accepted";
    const std::size_t colon = line.find(':');
    const std::string_view name = line.substr(0, colon);
    if (colon == std::string_view::npos || name.empty() ||
        !std::all_of(name.begin(), name.end(), [](unsigned char c) { return IsTokenCharacter(c); })) {
      return "the header line \"" + std::string(line) + "\" is not a header";
    }
    const std::string lower = Lower(name);
    if (std::find(kOnce.begin(), kOnce.end(), lower) == kOnce.end()) continue;
    if (++seen[lower] > 1) return "the header " + std::string(name) + " is given twice";
    if (lower == "idempotency-key" && !IsValidIdempotencyKey(std::string(Trimmed(line.substr(colon + 1))))) {
      return kInvalidKeyMessage;
    }
  }
  return std::nullopt;
}

}  // namespace zelko::service
