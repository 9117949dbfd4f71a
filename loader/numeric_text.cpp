#include "numeric_text.h"

#include <charconv>
#include <limits>
#include <string>

#include "text.h"

namespace zelko {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == '.' || c == ','; }
bool IsSign(char c) { return c == '+' || c == '-'; }
}  // namespace

bool IsNumericText(std::string_view text) {
  text = TrimSpaces(text);
  std::size_t i = 0;
  if (i < text.size() && IsSign(text[i])) ++i;
  bool digit = false;
  bool separator = false;
  for (; i < text.size(); ++i) {
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
  // from_chars reads the "C" form only: no "+" and "." as separator.
  std::string normal(TrimSpaces(text));
  if (!normal.empty() && normal.front() == '+') normal.erase(0, 1);
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

}  // namespace zelko
