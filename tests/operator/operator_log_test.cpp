#include "operator_log.h"

#include <algorithm>
#include <functional>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "memory_host.h"

namespace zelko {
namespace {

using ::testing::Return;

class MockOperator : public Operator {
 public:
  MOCK_METHOD(OperatorAnswer, Ask, (const std::string&, BoxKind, const std::string&), (override));
  MOCK_METHOD(void, ShowNotice, (const std::string&, const std::string&), (override));
  MOCK_METHOD(void, CloseNotice, (), (override));
  MOCK_METHOD(void, PaceRepeatedPrompt, (), (override));
};

class OperatorLogTest : public ::testing::Test {
 protected:
  OperatorLogTest() {
    auto inner = std::make_unique<::testing::NiceMock<MockOperator>>();
    inner_ = inner.get();
    log_ = std::make_unique<LoggingOperator>(std::move(inner), host_, LogPath(), diagnostics_);
  }
  static std::string LogPath() { return "c:\\operator.log"; }
  std::string Log() const { return host_.File(LogPath()).value_or(""); }

  testing::MemoryHost host_;
  std::ostringstream diagnostics_;
  MockOperator* inner_;
  std::unique_ptr<LoggingOperator> log_;
};

TEST_F(OperatorLogTest, BoxLineHoldsStyleCaptionTextAndAnswer) {
  EXPECT_CALL(*inner_, Ask("ZELKO NON Collegato!", BoxKind::Stop, "Zelko Driver")).WillOnce(Return(OperatorAnswer::Ok));
  EXPECT_CALL(*inner_, Ask("Scontrino in CORSO", BoxKind::Question, "Zelko Driver"))
      .WillOnce(Return(OperatorAnswer::No))
      .WillOnce(Return(OperatorAnswer::Yes));
  EXPECT_EQ(log_->Ask("ZELKO NON Collegato!", BoxKind::Stop, "Zelko Driver"), OperatorAnswer::Ok);
  EXPECT_EQ(Log(), "box\t16\tZelko Driver\tZELKO NON Collegato!\tOK\n");  // there at once
  EXPECT_EQ(log_->Ask("Scontrino in CORSO", BoxKind::Question, "Zelko Driver"), OperatorAnswer::No);
  EXPECT_EQ(log_->Ask("Scontrino in CORSO", BoxKind::Question, "Zelko Driver"), OperatorAnswer::Yes);
  EXPECT_EQ(Log(),
            "box\t16\tZelko Driver\tZELKO NON Collegato!\tOK\n"
            "box\t52\tZelko Driver\tScontrino in CORSO\tNO\n"
            "box\t52\tZelko Driver\tScontrino in CORSO\tYES\n");
}

// Every show is logged, also one that repeats the text on screen.
TEST_F(OperatorLogTest, NoticeShowReplaceAndCloseAreLoggedButNotACloseOfNothing) {
  EXPECT_CALL(*inner_, ShowNotice("T", "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !")).Times(2);
  EXPECT_CALL(*inner_, ShowNotice("T", "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !"));
  EXPECT_CALL(*inner_, CloseNotice()).Times(3);
  log_->CloseNotice();
  log_->ShowNotice("T", "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
  log_->ShowNotice("T", "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
  log_->ShowNotice("T", "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !");
  log_->CloseNotice();
  log_->CloseNotice();
  EXPECT_EQ(Log(),
            "notice\tshow\tFine ROTOLO SCONTRINO,   SOSTITUIRE la carta !\n"
            "notice\tshow\tFine ROTOLO SCONTRINO,   SOSTITUIRE la carta !\n"
            "notice\tshow\tFine ROTOLO GIORNALE,   SOSTITUIRE la carta !\n"
            "notice\tclose\n");
}

// A register flooding paper events cannot make the log grow without end: a
// run logs at most kOperatorLogMaxNoticeLines notice lines, saying so once in
// the diagnostics.
TEST_F(OperatorLogTest, NoticeFloodsAreCapped) {
  const std::string kReceipt = "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !";
  const std::string kJournal = "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !";
  const std::size_t kMax = kOperatorLogMaxNoticeLines;
  struct Case {
    const char* name;
    int events;
    std::function<void(LoggingOperator&, int)> event;
    std::size_t lines;
  };
  const Case cases[] = {
      {"the same notice again and again", 5000, [&](LoggingOperator& log, int) { log.ShowNotice("T", kReceipt); }, kMax},
      {"two notices in turn", 5000,
       [&](LoggingOperator& log, int i) { log.ShowNotice("T", i % 2 == 0 ? kReceipt : kJournal); }, kMax},
      {"shown and closed in turn", 5000,
       [&](LoggingOperator& log, int i) {
         if (i % 2 == 0) {
           log.ShowNotice("T", kReceipt);
         } else {
           log.CloseNotice();
         }
       },
       kMax},
      {"just within the limit", static_cast<int>(kMax),
       [&](LoggingOperator& log, int i) { log.ShowNotice("T", i % 2 == 0 ? kReceipt : kJournal); }, kMax},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host_.files.erase(LogPath());
    diagnostics_.str("");
    LoggingOperator log(std::make_unique<::testing::NiceMock<MockOperator>>(), host_, LogPath(), diagnostics_);
    for (int i = 0; i < c.events; ++i) c.event(log, i);
    const std::string stderrText = diagnostics_.str();
    const std::string text = Log();
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), c.lines);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "notice\tshow\t" + kReceipt + "\n");
    const bool capped = static_cast<std::size_t>(c.events) > c.lines && c.lines == kMax;
    EXPECT_EQ(stderrText, capped ? "ZELKO_OPERATOR_LOG: more than 1000 notice changes in this run; the rest are not "
                                   "logged to " + LogPath() + "\n"
                                 : "");
  }
}

TEST_F(OperatorLogTest, AppendsToAnEarlierLogAndKeepsEachInteractionOnOneLine) {
  host_.files[LogPath()] = "notice\tclose\n";
  EXPECT_CALL(*inner_, Ask).WillOnce(Return(OperatorAnswer::Ok));
  log_->Ask("Linea: 0005 Comando: a\tb\nc\r", BoxKind::Stop, "T");
  EXPECT_EQ(Log(), "notice\tclose\nbox\t16\tT\tLinea: 0005 Comando: a\\tb\\nc\\r\tOK\n");
}

// A backslash in a path and a TAB read differently, and no control byte
// reaches the log raw.
TEST_F(OperatorLogTest, BackslashesAndControlBytesAreEscaped) {
  EXPECT_CALL(*inner_, Ask).WillOnce(Return(OperatorAnswer::Ok));
  log_->Ask("C:\\Users\\tom\t\x1B[2J", BoxKind::Stop, "T\\1");
  log_->ShowNotice("T", "carta\x07");
  EXPECT_EQ(Log(), "box\t16\tT\\\\1\tC:\\\\Users\\\\tom\\t\\x1B[2J\tOK\nnotice\tshow\tcarta\\x07\n");
}

// A log that cannot be written never stops the run: the box is answered,
// and the diagnostics say it once.
TEST_F(OperatorLogTest, ALogThatCannotBeWrittenIsToldOnce) {
  host_.FailCreate(LogPath());
  EXPECT_CALL(*inner_, Ask).Times(2).WillRepeatedly(Return(OperatorAnswer::Ok));
  EXPECT_EQ(log_->Ask("a", BoxKind::Stop, "T"), OperatorAnswer::Ok);
  EXPECT_EQ(log_->Ask("b", BoxKind::Stop, "T"), OperatorAnswer::Ok);
  EXPECT_EQ(diagnostics_.str(), "ZELKO_OPERATOR_LOG: cannot write to c:\\operator.log\n");
}

TEST_F(OperatorLogTest, PacingIsPassedOnAndNotLogged) {
  EXPECT_CALL(*inner_, PaceRepeatedPrompt());
  log_->PaceRepeatedPrompt();
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace zelko
