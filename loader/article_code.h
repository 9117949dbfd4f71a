#pragma once

#include <string>
#include <string_view>

namespace zelko {

// The GS1 check digit ('0' to '9') of a text of digits: weights 3, 1, 3, ...
// from the rightmost digit, then (10 - sum mod 10) mod 10.
char GS1CheckDigit(std::string_view digits);

// Bar-code completion: the digits of the text (CompleteEan8 looks at its first
// 7 characters only), the first 7 / 11 / 12 of them, zero-filled in front to
// that many, followed by their check digit.
std::string CompleteEan8(std::string_view text);
std::string CompleteUpcA(std::string_view text);
std::string CompleteEan13(std::string_view text);

// The 13-digit register code of an article code field whose value is above
// 999999: blanks and leading zeros dropped, completed as EAN-8, UPC-A or EAN-13
// by the length left, widened with zeros to 13. A text that is no longer
// numeric comes back as it stands after the clean-up, followed by "-".
std::string FormatArticleCode(std::string_view codeField);

}  // namespace zelko
