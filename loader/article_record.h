#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelko {

// Lines shorter than this are not considered at all.
inline constexpr std::size_t kArticleLineMinLength = 47;

// One considered line of the article file, split at its fixed columns. The
// views point into the line (oneDigitCode may point to a constant "9").
struct ArticleRecord {
  std::string_view recordType;    // columns 1-2
  std::string_view articleCode;   // columns 3-14
  std::string_view description;   // columns 15-34
  std::string_view price;         // columns 35-42
  std::string_view oneDigitCode;  // column 44, "9" when blank
  std::string_view twoDigitCode;  // columns 45-46
};

// Splits a line of at least kArticleLineMinLength characters.
ArticleRecord SplitArticleLine(std::string_view line);

bool IsTypeThirteen(const ArticleRecord& record);
// An article ("11") whose code, price and both short codes are numeric.
bool IsAcceptedArticle(const ArticleRecord& record);

// The 13-character code of the register record: "0" and the field as it
// stands for values up to 999999, the completed bar code above.
std::string RegisterCode(std::string_view articleCode);

// The type-13 register record ("13" and 44 zeros).
inline constexpr std::string_view kTypeThirteenRecord = "1300000000000000000000000000000000000000000000";

}  // namespace zelko
