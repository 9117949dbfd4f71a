#include "operator_answers.h"

namespace zelko {

namespace {
constexpr int kButtonsMask = 0x0F;
constexpr int kButtonsYesNo = 4;
}  // namespace

bool AsksYesNo(int style) { return (style & kButtonsMask) == kButtonsYesNo; }

OperatorAnswer DefaultAnswer(int style) { return AsksYesNo(style) ? OperatorAnswer::Yes : OperatorAnswer::Ok; }

bool FitsBox(OperatorAnswer answer, int style) { return (answer != OperatorAnswer::Ok) == AsksYesNo(style); }

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
