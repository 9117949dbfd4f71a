#include "operator_selection.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "test_files.h"

namespace zelko {
namespace {

using namespace test;

class OperatorSelectionTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  ScopedEnv log_{"ZELKO_OPERATOR_LOG", folder_ / "log.txt"};
};

TEST_F(OperatorSelectionTest, ScriptAnswersThenUnattendedAllLogged) {
  WriteBytes(folder_ / "answers.txt", "no\r\n\r\nOK\r\n");
  ScopedEnv chosen("ZELKO_OPERATOR", "script:" + (folder_ / "answers.txt"));
  const auto person = SelectOperator();
  EXPECT_EQ(person->Ask("q", BoxKind::Question, "T"), OperatorAnswer::No);
  EXPECT_EQ(person->Ask("i", BoxKind::Information, "T"), OperatorAnswer::Ok);
  EXPECT_EQ(person->Ask("q", BoxKind::Question, "T"), OperatorAnswer::Yes);
  person->ShowNotice("T", "n");
  person->CloseNotice();
  EXPECT_EQ(ReadBytes(folder_ / "log.txt"),
            "box\t52\tT\tq\tNO\nbox\t64\tT\ti\tOK\nbox\t52\tT\tq\tYES\nnotice\tshow\tn\nnotice\tclose\n");
}

TEST_F(OperatorSelectionTest, UnattendedUnknownAndUnreadableScriptAllAnswerByDefault) {
  const std::string missingScript = "script:" + (folder_ / "missing.txt");
  for (const std::string& name : {std::string("unattended"), std::string("bogus"), missingScript}) {
    ScopedEnv chosen("ZELKO_OPERATOR", name);
    EXPECT_EQ(SelectOperator()->Ask("q", BoxKind::Question, "T"), OperatorAnswer::Yes) << name;
  }
  EXPECT_EQ(ReadBytes(folder_ / "log.txt"), "box\t52\tT\tq\tYES\nbox\t52\tT\tq\tYES\nbox\t52\tT\tq\tYES\n");
}

TEST_F(OperatorSelectionTest, WithoutATerminalTheDefaultIsUnattended) {
  if (::isatty(STDIN_FILENO)) GTEST_SKIP() << "standard input is a terminal";
  ScopedEnv chosen("ZELKO_OPERATOR", std::nullopt);
  EXPECT_EQ(SelectOperator()->Ask("i", BoxKind::Information, "T"), OperatorAnswer::Ok);
  EXPECT_EQ(ReadBytes(folder_ / "log.txt"), "box\t64\tT\ti\tOK\n");
}

TEST_F(OperatorSelectionTest, NoLogWithoutTheVariable) {
  ScopedEnv noLog("ZELKO_OPERATOR_LOG", std::nullopt);
  ScopedEnv chosen("ZELKO_OPERATOR", "unattended");
  SelectOperator()->Ask("i", BoxKind::Information, "T");
  EXPECT_EQ(EntryCount(folder_.path()), 0u);
}

}  // namespace
}  // namespace zelko
