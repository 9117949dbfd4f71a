#include "terminal_operator.h"

#include <gtest/gtest.h>

#include <sstream>

#include "unattended_operator.h"

namespace zelko {
namespace {

// A terminal whose keyboard input is `typed`; what it shows lands in `shown`.
class TerminalOperatorTest : public ::testing::Test {
 protected:
  std::unique_ptr<TerminalOperator> Make(const std::string& typed) {
    auto out = std::make_unique<std::ostringstream>();
    shown_ = out.get();
    return std::make_unique<TerminalOperator>(std::make_unique<std::istringstream>(typed), std::move(out),
                                              std::make_unique<UnattendedOperator>([this] { ++waits_; }));
  }
  std::string Shown() const { return shown_->str(); }

  std::ostringstream* shown_ = nullptr;
  int waits_ = 0;
};

TEST_F(TerminalOperatorTest, OkBoxShowsCaptionTextAndButtonAndTakesAnyLine) {
  const auto terminal = Make("whatever\n");
  EXPECT_EQ(terminal->Ask("Coperchio APERTO!", BoxKind::Information, "Zelko"), OperatorAnswer::Ok);
  EXPECT_EQ(Shown(), "\nZelko\n(i) Coperchio APERTO!\n[OK] ");
}

TEST_F(TerminalOperatorTest, QuestionIsAskedAgainUntilYesOrNo) {
  const auto terminal = Make("maybe\n\nn\nS\r\nyes\n");
  EXPECT_EQ(terminal->Ask("ANNULLO?", BoxKind::Question, "Zelko"), OperatorAnswer::No);
  EXPECT_EQ(Shown(), "\nZelko\n(!) ANNULLO?\n[Yes/No] [Yes/No] [Yes/No] ");
  EXPECT_EQ(terminal->Ask("ANNULLO?", BoxKind::Question, "Zelko"), OperatorAnswer::Yes);
  EXPECT_EQ(terminal->Ask("ANNULLO?", BoxKind::Question, "Zelko"), OperatorAnswer::Yes);
}

TEST_F(TerminalOperatorTest, EndOfInputTurnsUnattended) {
  const auto terminal = Make("NO\n");
  terminal->PaceRepeatedPrompt();
  EXPECT_EQ(waits_, 0);
  EXPECT_EQ(terminal->Ask("q", BoxKind::Question, "t"), OperatorAnswer::No);
  EXPECT_EQ(terminal->Ask("q", BoxKind::Question, "t"), OperatorAnswer::Yes);
  EXPECT_EQ(terminal->Ask("i", BoxKind::Information, "t"), OperatorAnswer::Ok);
  terminal->PaceRepeatedPrompt();
  EXPECT_EQ(waits_, 1);
}

TEST_F(TerminalOperatorTest, NoticeIsAStatusLineClearedOnClose) {
  const auto terminal = Make("\n");
  terminal->CloseNotice();
  EXPECT_EQ(Shown(), "");
  terminal->ShowNotice("Zelko", "Fine ROTOLO GIORNALE");
  EXPECT_EQ(Shown(), "\r\x1b[KZelko: Fine ROTOLO GIORNALE");
  terminal->Ask("x", BoxKind::Stop, "Zelko");
  // The box clears the status line and draws it again after the answer.
  EXPECT_EQ(Shown(),
            "\r\x1b[KZelko: Fine ROTOLO GIORNALE"
            "\r\x1b[K\nZelko\n(X) x\n[OK] "
            "\r\x1b[KZelko: Fine ROTOLO GIORNALE");
  terminal->CloseNotice();
  EXPECT_TRUE(Shown().ends_with("GIORNALE\r\x1b[K"));
}

TEST_F(TerminalOperatorTest, ControlBytesAreNotSentToTheTerminal) {
  const auto terminal = Make("\n");
  terminal->Ask("a\x1b[2Jb\n", BoxKind::Stop, "t\a");
  EXPECT_EQ(Shown(), "\nt?\n(X) a?[2Jb?\n[OK] ");
}

}  // namespace
}  // namespace zelko
