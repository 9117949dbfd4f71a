#include "script_operator.h"

#include <gtest/gtest.h>

#include "unattended_operator.h"

namespace zelko {
namespace {

using Answers = std::vector<ScriptAnswer>;
constexpr auto kOk = OperatorAnswer::Ok;
constexpr auto kYes = OperatorAnswer::Yes;
constexpr auto kNo = OperatorAnswer::No;

struct ParseCase {
  const char* text;
  Answers answers;
};

class ParseScriptAnswersTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseScriptAnswersTest, OneAnswerPerLine) {
  EXPECT_EQ(ParseScriptAnswers(GetParam().text), GetParam().answers) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, ParseScriptAnswersTest,
                         ::testing::Values(ParseCase{"", {}}, ParseCase{"\n\r\n  \n", {}},
                                           ParseCase{"OK\nyes\nNo", {kOk, kYes, kNo}},
                                           ParseCase{"  ok  \r\n\r\nYeS\r\n", {kOk, kYes}},
                                           ParseCase{"NO\rOK\r", {kNo, kOk}},
                                           ParseCase{"maybe\nY\nOKAY\nNO",
                                                     {std::nullopt, std::nullopt, std::nullopt, kNo}}));

// Counts the unattended operator's waits instead of sleeping.
class ScriptOperatorTest : public ::testing::Test {
 protected:
  ScriptOperator Make(Answers answers) {
    return ScriptOperator(std::move(answers), std::make_unique<UnattendedOperator>([this] { ++waits_; }));
  }
  int waits_ = 0;
};

struct FitCase {
  ScriptAnswer scripted;
  BoxKind kind;
  OperatorAnswer expected;
};

class ScriptAnswerFitTest : public ScriptOperatorTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(ScriptAnswerFitTest, AnswerThatDoesNotFitCountsAsTheDefault) {
  ScriptOperator script = Make({GetParam().scripted});
  EXPECT_EQ(script.Ask("text", GetParam().kind, "caption"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ScriptAnswerFitTest,
                         ::testing::Values(FitCase{kOk, BoxKind::Stop, kOk}, FitCase{kOk, BoxKind::Information, kOk},
                                           FitCase{kYes, BoxKind::Question, kYes}, FitCase{kNo, BoxKind::Question, kNo},
                                           FitCase{kOk, BoxKind::Question, kYes}, FitCase{kYes, BoxKind::Stop, kOk},
                                           FitCase{kNo, BoxKind::Information, kOk},
                                           FitCase{std::nullopt, BoxKind::Question, kYes},
                                           FitCase{std::nullopt, BoxKind::Information, kOk}));

TEST_F(ScriptOperatorTest, EachBoxTakesTheNextAnswerEvenAMisfit) {
  ScriptOperator script = Make({kNo, kNo, kOk});
  EXPECT_EQ(script.Ask("cover", BoxKind::Information, "t"), kOk);  // the first NO is used up here
  EXPECT_EQ(script.Ask("open receipt", BoxKind::Question, "t"), kNo);
  EXPECT_EQ(script.Ask("finish by hand", BoxKind::Information, "t"), kOk);
}

TEST_F(ScriptOperatorTest, RunningOutTurnsUnattended) {
  ScriptOperator script = Make({kNo});
  script.PaceRepeatedPrompt();
  EXPECT_EQ(waits_, 0);  // scripted answers come at once
  EXPECT_EQ(script.Ask("q", BoxKind::Question, "t"), kNo);
  EXPECT_EQ(script.Ask("q", BoxKind::Question, "t"), kYes);
  EXPECT_EQ(script.Ask("i", BoxKind::Information, "t"), kOk);
  script.PaceRepeatedPrompt();
  script.PaceRepeatedPrompt();
  EXPECT_EQ(waits_, 2);
}

TEST(UnattendedOperatorTest, AcknowledgesAndAnswersYesAndWaitsBeforeARepeat) {
  int waits = 0;
  UnattendedOperator nobody([&] { ++waits; });
  EXPECT_EQ(nobody.Ask("x", BoxKind::Stop, "t"), kOk);
  EXPECT_EQ(nobody.Ask("x", BoxKind::Information, "t"), kOk);
  EXPECT_EQ(nobody.Ask("x", BoxKind::Question, "t"), kYes);
  EXPECT_EQ(waits, 0);
  nobody.PaceRepeatedPrompt();
  EXPECT_EQ(waits, 1);
}

}  // namespace
}  // namespace zelko
