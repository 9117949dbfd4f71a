#pragma once

#include <string_view>

#include "operator.h"

namespace zelko {

// True for a box with the buttons Yes and No (style 52); the others have OK.
bool AsksYesNo(int style);
// The answer an operator who cannot be asked gives: YES to a question, else OK.
OperatorAnswer DefaultAnswer(int style);
// True when `answer` is one of the box's buttons.
bool FitsBox(OperatorAnswer answer, int style);
// "OK", "YES" or "NO".
std::string_view AnswerName(OperatorAnswer answer);

}  // namespace zelko
