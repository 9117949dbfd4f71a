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
  int style;
  OperatorAnswer expected;
};

class ScriptAnswerFitTest : public ScriptOperatorTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(ScriptAnswerFitTest, AnswerThatDoesNotFitCountsAsTheDefault) {
  ScriptOperator script = Make({GetParam().scripted});
  EXPECT_EQ(script.MessageBox("text", GetParam().style, "caption"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ScriptAnswerFitTest,
                         ::testing::Values(FitCase{kOk, kStyleStop, kOk}, FitCase{kOk, kStyleInformation, kOk},
                                           FitCase{kYes, kStyleQuestion, kYes}, FitCase{kNo, kStyleQuestion, kNo},
                                           FitCase{kOk, kStyleQuestion, kYes}, FitCase{kYes, kStyleStop, kOk},
                                           FitCase{kNo, kStyleInformation, kOk},
                                           FitCase{std::nullopt, kStyleQuestion, kYes},
                                           FitCase{std::nullopt, kStyleInformation, kOk}));

TEST_F(ScriptOperatorTest, EachBoxTakesTheNextAnswerEvenAMisfit) {
  ScriptOperator script = Make({kNo, kNo, kOk});
  EXPECT_EQ(script.MessageBox("cover", kStyleInformation, "t"), kOk);  // the first NO is used up here
  EXPECT_EQ(script.MessageBox("open receipt", kStyleQuestion, "t"), kNo);
  EXPECT_EQ(script.MessageBox("finish by hand", kStyleInformation, "t"), kOk);
}

TEST_F(ScriptOperatorTest, RunningOutTurnsUnattended) {
  ScriptOperator script = Make({kNo});
  script.PaceRepeatedPrompt();
  EXPECT_EQ(waits_, 0);  // scripted answers come at once
  EXPECT_EQ(script.MessageBox("q", kStyleQuestion, "t"), kNo);
  EXPECT_EQ(script.MessageBox("q", kStyleQuestion, "t"), kYes);
  EXPECT_EQ(script.MessageBox("i", kStyleInformation, "t"), kOk);
  script.PaceRepeatedPrompt();
  script.PaceRepeatedPrompt();
  EXPECT_EQ(waits_, 2);
}

TEST(UnattendedOperatorTest, AcknowledgesAndAnswersYesAndWaitsBeforeARepeat) {
  int waits = 0;
  UnattendedOperator nobody([&] { ++waits; });
  EXPECT_EQ(nobody.MessageBox("x", kStyleStop, "t"), kOk);
  EXPECT_EQ(nobody.MessageBox("x", kStyleInformation, "t"), kOk);
  EXPECT_EQ(nobody.MessageBox("x", kStyleQuestion, "t"), kYes);
  EXPECT_EQ(waits, 0);
  nobody.PaceRepeatedPrompt();
  EXPECT_EQ(waits, 1);
}

}  // namespace
}  // namespace zelko
