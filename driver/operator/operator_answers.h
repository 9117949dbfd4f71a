#pragma once

#include <string_view>

#include "operator.h"

namespace zelko {

// The answer an operator who cannot be asked gives: YES to a question, else OK.
OperatorAnswer DefaultAnswer(BoxKind kind);
// True when `answer` is one of the box's buttons.
bool FitsBox(OperatorAnswer answer, BoxKind kind);
// "OK", "YES" or "NO".
std::string_view AnswerName(OperatorAnswer answer);

}  // namespace zelko
