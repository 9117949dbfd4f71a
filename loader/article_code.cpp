#include "article_code.h"

#include <algorithm>

#include "numeric_text.h"
#include "text.h"

namespace zelko {

namespace {

constexpr std::size_t kRegisterCodeWidth = 13;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first `keep` digits among the first `scan` characters, zero-filled in
// front to `keep` digits, with their check digit appended.
std::string Complete(std::string_view text, std::size_t scan, std::size_t keep) {
  std::string data(keep, '0');
  std::size_t found = 0;
  for (const char c : text.substr(0, scan)) {
    if (IsDigit(c) && found < keep) data[found++] = c;
  }
  // Move the digits found to the end, behind the zeros.
  std::copy_backward(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(found), data.end());
  std::fill_n(data.begin(), keep - found, '0');
  data += GS1CheckDigit(data);
  return data;
}

}  // namespace

char GS1CheckDigit(std::string_view digits) {
  int sum = 0;
  int weight = 3;
  for (auto c = digits.rbegin(); c != digits.rend(); ++c) {
    sum += (*c - '0') * weight;
    weight = 4 - weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string CompleteEan8(std::string_view text) { return Complete(text, 7, 7); }
std::string CompleteUpcA(std::string_view text) { return Complete(text, std::string_view::npos, 11); }
std::string CompleteEan13(std::string_view text) { return Complete(text, std::string_view::npos, 12); }

std::string FormatArticleCode(std::string_view codeField) {
  std::string_view code = TrimSpaces(codeField);
  while (!code.empty() && code.front() == '0') code.remove_prefix(1);
  if (!IsNumericText(code)) return std::string(code) + "-";
  const std::size_t length = code.size();
  std::string completed;
  if (length <= 7) {
    completed = CompleteEan8(code);
  } else if (length == 10 || length == 11) {
    completed = CompleteUpcA(code);
  } else {
    completed = CompleteEan13(code);
  }
  completed.insert(0, kRegisterCodeWidth - completed.size(), '0');
  return completed;
}

}  // namespace zelko
