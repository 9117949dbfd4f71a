#include "register_model.h"

#include <gtest/gtest.h>

namespace zelko::emulator {
namespace {

const std::string kArticle = "110000012345670ACQUA MINERALE 1,5L 00000050021";
const std::string kTypeThirteen = "1300000000000000000000000000000000000000000000";

std::string ArticleCommand(const std::string& record) { return ">>/?P/(" + record + ")"; }

TEST(StatusReplyTest, FieldsSitWhereTheDriverReadsThem) {
  struct Case {
    StatusFields fields;
    std::string reply;
  };
  const Case cases[] = {
      {{}, "0000000000000"},
      {{kStatusCoverOpen, false, true, false, false, 0}, "0103001000000"},
      {{kStatusReady, true, false, false, false, 12}, "0000010000012"},
      {{kStatusReady, false, false, true, true, 9999}, "0000000119999"},
      {{2001, false, false, false, false, 7}, "2001000000007"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatStatusReply(c.fields), c.reply);
}

TEST(RegisterModelTest, CommandsAndTheirEffects) {
  struct Case {
    const char* name;
    std::string command;
    std::int32_t result;
    std::string display;
    std::size_t articles;
  };
  const Case cases[] = {
      {"display line", "=D1/(  ZELKO  Collegato )", 0, "  ZELKO  Collegato ", 0},
      {"display without closing parenthesis", "=D1/(Carico", 0, "Carico", 0},
      {"unknown command accepted", "=T1/$100", 0, "", 0},
      {"empty command accepted", "", 0, "", 0},
      {"article record", ArticleCommand(kArticle), 0, "", 1},
      {"type-13 record", ArticleCommand(kTypeThirteen), 0, "", 1},
      {"article with a parenthesis in the description", ArticleCommand("110000012345670ACQUA (1,5L)        00000050021"), 0, "", 1},
      {"record one short", ArticleCommand(kArticle.substr(1)), kResultIllegal, "", 0},
      {"record one long", ArticleCommand(kArticle + "9"), kResultIllegal, "", 0},
      {"no closing parenthesis", ">>/?P/(" + kArticle + "X", kResultIllegal, "", 0},
      {"unknown record type", ArticleCommand("12" + kArticle.substr(2)), kResultIllegal, "", 0},
      {"type-13 record not all zeros", ArticleCommand("13" + std::string(43, '0') + "1"), kResultIllegal, "", 0},
  };
  for (const Case& c : cases) {
    RegisterModel model;
    EXPECT_EQ(model.Execute(c.command), c.result) << c.name;
    EXPECT_EQ(model.Display(), c.display) << c.name;
    EXPECT_EQ(model.ArticleTable().size(), c.articles) << c.name;
    EXPECT_EQ(model.Status().tail, c.result == 0 ? 1 : 0) << c.name;
  }
}

TEST(RegisterModelTest, ArticleTableKeepsLoadOrderAndReplacesACodeInPlace) {
  RegisterModel model;
  const std::string other = "110000000001234BIRRA               00000150011";
  const std::string cheaper = "110000012345670ACQUA MINERALE 1,5L 00000040021";
  for (const std::string& record : {kTypeThirteen, kArticle, other, cheaper}) {
    ASSERT_EQ(model.Execute(ArticleCommand(record)), 0);
  }
  EXPECT_EQ(model.ArticleTable(), (std::vector<std::string>{kTypeThirteen, cheaper, other}));
  EXPECT_EQ(model.ArticleTableVersion(), 4u);
}

TEST(RegisterModelTest, CancelClosesAnOpenReceiptOnly) {
  RegisterModel model;
  model.SetReceiptOpen(true);
  model.Execute("=K");
  EXPECT_TRUE(model.Status().receiptOpen);
  model.Execute("=k");
  EXPECT_FALSE(model.Status().receiptOpen);
}

TEST(RegisterModelTest, CoverOpenGivesStatus103) {
  RegisterModel model;
  model.SetCoverOpen(true);
  EXPECT_EQ(model.Status().code, kStatusCoverOpen);
  model.SetCoverOpen(false);
  EXPECT_EQ(model.Status().code, kStatusReady);
}

TEST(RegisterModelTest, PaperChangesRaiseTheirStatusUpdateCodes) {
  RegisterModel model;
  EXPECT_EQ(model.SetPaperEmpty(Roll::Receipt, true), kReceiptEmpty);
  EXPECT_EQ(model.SetPaperEmpty(Roll::Journal, true), kJournalEmpty);
  EXPECT_EQ(FormatStatusReply(model.Status()).substr(7, 2), "11");
  EXPECT_EQ(model.SetPaperEmpty(Roll::Receipt, false), kReceiptPaperOk);
  EXPECT_EQ(model.SetPaperEmpty(Roll::Journal, false), kJournalPaperOk);
  EXPECT_FALSE(model.PaperEmpty(Roll::Receipt));
}

TEST(RegisterModelTest, TailCountsExecutedCommandsModulo10000) {
  RegisterModel model;
  for (int i = 0; i < 10001; ++i) model.Execute("=K");
  model.Execute(ArticleCommand("bad"));
  EXPECT_EQ(model.Status().tail, 1);
}

}  // namespace
}  // namespace zelko::emulator
