// One line of the article file: the split at fixed columns, the register code
// of an accepted article, and the bar-code completion of any code text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "article_code.h"
#include "article_record.h"
#include "fuzz_check.h"
#include "numeric_text.h"

namespace zelko::fuzzing {
namespace {

bool AllDigits(std::string_view text) { return text.find_first_not_of("0123456789") == std::string_view::npos; }

// 13 digits, the last one the check digit of the others.
bool IsCompleteGs1(std::string_view code) {
  return code.size() == 13 && AllDigits(code) && code.back() == GS1CheckDigit(code.substr(0, 12));
}

bool IsFieldAt(std::string_view field, std::string_view line, std::size_t column, std::size_t width) {
  return field.data() == line.data() + column && field.size() == width;
}

void CheckSplit(std::string_view line) {
  const ArticleRecord record = SplitArticleLine(line);
  Require(IsFieldAt(record.recordType, line, 0, 2));
  Require(IsFieldAt(record.articleCode, line, 2, 12));
  Require(IsFieldAt(record.description, line, 14, 20));
  Require(IsFieldAt(record.price, line, 34, 8));
  Require(IsFieldAt(record.twoDigitCode, line, 44, 2));
  Require(line[43] == ' ' ? record.oneDigitCode == "9" : IsFieldAt(record.oneDigitCode, line, 43, 1));
  if (!IsAcceptedArticle(record)) return;
  const std::string code = RegisterCode(record.articleCode);
  Require(code.size() == 13);
  if (NumericTextValue(record.articleCode) > 999999) Require(IsCompleteGs1(code));
}

void CheckFormat(std::string_view field) {
  const std::string code = FormatArticleCode(field);
  if (!code.empty() && code.back() == '-') return;
  Require(IsCompleteGs1(code));
  // Up to 12 digits are kept as they are, zero-filled in front.
  const std::size_t first = field.find_first_not_of('0');
  if (first == std::string_view::npos || !AllDigits(field) || field.size() - first > 12) return;
  Require(code.substr(0, 12).ends_with(field.substr(first)));
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  if (line.size() >= zelko::kArticleLineMinLength) CheckSplit(line);
  CheckFormat(line);
  CheckFormat(line.substr(0, 12));
  return 0;
}
