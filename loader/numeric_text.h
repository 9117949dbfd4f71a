#pragma once

#include <string_view>

namespace zelko {

// The loader's numeric test: with leading and trailing spaces removed, an
// optional sign, at least one digit and at most one decimal separator ("." or
// ","). No thousands separators, exponents or currency signs; a blank text is
// not numeric.
bool IsNumericText(std::string_view text);

// The value of a text that passes IsNumericText (infinite when it is beyond
// the range of a double).
double NumericTextValue(std::string_view text);

}  // namespace zelko
