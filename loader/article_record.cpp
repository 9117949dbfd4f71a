#include "article_record.h"

#include "article_code.h"
#include "numeric_text.h"

namespace zelko {

namespace {
constexpr double kSmallCodeLimit = 999999;
}

ArticleRecord SplitArticleLine(std::string_view line) {
  ArticleRecord record;
  record.recordType = line.substr(0, 2);
  record.articleCode = line.substr(2, 12);
  record.description = line.substr(14, 20);
  record.price = line.substr(34, 8);
  record.oneDigitCode = line.substr(43, 1);
  record.twoDigitCode = line.substr(44, 2);
  if (record.oneDigitCode == " ") record.oneDigitCode = "9";
  return record;
}

bool IsTypeThirteen(const ArticleRecord& record) { return record.recordType == "13"; }

bool IsAcceptedArticle(const ArticleRecord& record) {
  return record.recordType == "11" && IsNumericText(record.articleCode) && IsNumericText(record.price) &&
         IsNumericText(record.oneDigitCode) && IsNumericText(record.twoDigitCode);
}

std::string RegisterCode(std::string_view articleCode) {
  if (NumericTextValue(articleCode) > kSmallCodeLimit) return FormatArticleCode(articleCode);
  std::string code = "0";
  code += articleCode;
  return code;
}

}  // namespace zelko
