#include "numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>


namespace zelko {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == '.' || c == ','; }
bool IsSign(char c) { return c == '+' || c == '-'; }

// Up to 15 digits fit a double exactly, and so do the powers of ten up to
// 10^22: one division of the two then gives the correctly rounded value.
constexpr int kExactDigits = 15;
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

double ExactValue(std::string_view text) {
  // from_chars reads the "C" form only: no "+" and "." as separator.
  std::string normal(text);
  if (normal.front() == '+') normal.erase(0, 1);
  for (char& c : normal) {
    if (c == ',') c = '.';
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Either beyond the largest double or too close to zero to tell from it.
    const bool large = normal.find_first_of("123456789") < normal.find('.');
    const double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
    return normal.front() == '-' ? -magnitude : magnitude;
  }
  return value;
}

}  // namespace

bool IsNumericText(std::string_view text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return false;
  const std::size_t end = text.find_last_not_of(' ') + 1;
  if (IsSign(text[i])) ++i;
  bool digit = false;
  bool separator = false;
  for (; i < end; ++i) {
    if (IsDigit(text[i])) {
      digit = true;
    } else if (IsSeparator(text[i]) && !separator) {
      separator = true;
    } else {
      return false;
    }
  }
  return digit;
}

double NumericTextValue(std::string_view text) {
  text = text.substr(text.find_first_not_of(' '));
  text = text.substr(0, text.find_last_not_of(' ') + 1);
  std::size_t i = IsSign(text.front()) ? 1 : 0;
  while (i < text.size() && text[i] == '0') ++i;  // leading zeros add nothing
  std::uint64_t digits = 0;
  int digitCount = 0;
  int fractionDigits = -1;  // counts from the separator on
  for (; i < text.size(); ++i) {
    if (IsSeparator(text[i])) {
      fractionDigits = 0;
      continue;
    }
    if (++digitCount > kExactDigits) return ExactValue(text);
    digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (fractionDigits >= 0) ++fractionDigits;
  }
  const double magnitude = static_cast<double>(digits) / kPowersOfTen[std::max(fractionDigits, 0)];
  return text.front() == '-' ? -magnitude : magnitude;
}

}  // namespace zelko
