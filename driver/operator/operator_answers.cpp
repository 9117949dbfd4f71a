#include "operator_answers.h"

namespace zelko {

OperatorAnswer DefaultAnswer(BoxKind kind) { return kind == BoxKind::Question ? OperatorAnswer::Yes : OperatorAnswer::Ok; }

bool FitsBox(OperatorAnswer answer, BoxKind kind) { return (answer != OperatorAnswer::Ok) == (kind == BoxKind::Question); }

std::string_view AnswerName(OperatorAnswer answer) {
  switch (answer) {
    case OperatorAnswer::Ok:
      return "OK";
    case OperatorAnswer::Yes:
      return "YES";
    case OperatorAnswer::No:
      return "NO";
  }
  return "OK";
}

}  // namespace zelko
