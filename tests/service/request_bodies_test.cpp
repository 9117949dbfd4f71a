#include "request_bodies.h"

#include <gtest/gtest.h>

namespace zelko::service {
namespace {

TEST(RequestBodiesTest, ReceiptBecomesTheCommandFileTheDriverReads) {
  const auto file = CommandFileFromReceiptBody(
      R"({"port":" COM1 ","speed":"115200,n,8,1","commands":["=R1/$100","","  =T1\n", "\u00e8"]})");
  ASSERT_TRUE(std::holds_alternative<std::string>(file));
  EXPECT_EQ(std::get<std::string>(file), " COM1 \r\n115200,n,8,1\r\n4\r\n=R1/$100\r\n\r\n  =T1\n\r\n\xE8\r\n");
  EXPECT_EQ(std::get<std::string>(CommandFileFromReceiptBody(R"({"port":"1","speed":"9600","commands":[]})")),
            "1\r\n9600\r\n0\r\n");
}

TEST(RequestBodiesTest, MalformedReceiptsAreRefusedWithAReason) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"", "not valid JSON"},
      {"[]", "JSON object"},
      {R"({"speed":"9600","commands":[]})", "\"port\" is missing"},
      {R"({"port":1,"speed":"9600","commands":[]})", "\"port\" must be a string"},
      {R"({"port":"1","speed":"9600","commands":{}})", "array of strings"},
      {R"({"port":"1","speed":"9600","commands":[3]})", "command 1 must be a string"},
      {R"({"port":"1","speed":"9600","commands":["a","b\rc"]})", "command 2 holds a carriage return"},
      {R"({"port":"1","speed":"9600","commands":["\u20ac"]})", "above U+00FF"},
      {R"({"port":"1","speed":"9600","commands":[],"command":[]})", "unknown field \"command\""},
  };
  for (const auto& [body, reason] : cases) {
    SCOPED_TRACE(body);
    const auto parsed = CommandFileFromReceiptBody(body);
    ASSERT_TRUE(std::holds_alternative<BadRequest>(parsed));
    EXPECT_NE(std::get<BadRequest>(parsed).message.find(reason), std::string::npos) << std::get<BadRequest>(parsed).message;
  }
}

TEST(RequestBodiesTest, ArticleTextLinesEndInCrLfWhateverTheyEndedIn) {
  const auto parsed = ParseArticleBody(R"({"text":"a\nb\r\nc\rd","lowSpeed":true})");
  ASSERT_TRUE(std::holds_alternative<ArticleRequest>(parsed));
  EXPECT_EQ(std::get<ArticleRequest>(parsed).articleFile, "a\r\nb\r\nc\r\nd");
  EXPECT_TRUE(std::get<ArticleRequest>(parsed).lowSpeed);
  EXPECT_FALSE(std::get<ArticleRequest>(ParseArticleBody(R"({"text":""})")).lowSpeed);
  for (const char* body : {R"({"lowSpeed":false})", R"({"text":"x","lowSpeed":"yes"})", R"({"text":"x","ls":1})"}) {
    EXPECT_TRUE(std::holds_alternative<BadRequest>(ParseArticleBody(body))) << body;
  }
}

}  // namespace
}  // namespace zelko::service
