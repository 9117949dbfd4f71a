#pragma once

#include <string>
#include <string_view>

namespace zelko {

// Removes leading and trailing spaces only (tabs and other bytes stay).
std::string_view TrimSpaces(std::string_view text);
// ASCII letters upper-cased; every other byte unchanged.
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);

// Reads the number a text begins with, the lenient way the register's texts
// are read: blanks and tabs anywhere are ignored, reading stops at the first
// character that cannot continue the number, and a text without a leading
// number reads as 0. Accepts a sign, digits, one "." and an exponent.
double ReadLeadingNumber(std::string_view text);

// Nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// A text made safe for a one-line log field or a terminal, reversibly: the
// backslash becomes \\, TAB \t, CR \r, LF \n, every other control byte
// (0x00-0x1F, 0x7F) \x and two upper-case hex digits; other bytes stay.
std::string EscapeForLog(std::string_view text);

// Decimal text with at least `width` digits (leading zeros); negatives get "-".
std::string ZeroPadded(long long value, int width);

}  // namespace zelko
