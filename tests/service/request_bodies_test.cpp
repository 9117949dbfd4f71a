#include "request_bodies.h"

#include <gtest/gtest.h>

namespace zelko::service {
namespace {

// The receipt the driver would read from a command file of these lines: port
// and speed trimmed, the commands as given, the count right.
TEST(RequestBodiesTest, ReceiptIsTheOneTheDriverReadsFromACommandFile) {
  const auto parsed =
      ReceiptFromBody(R"({"port":" COM1 ","speed":"115200,n,8,1","commands":["=R1/$100","","  =T1\n", "\u00e8"]})");
  ASSERT_TRUE(std::holds_alternative<Receipt>(parsed));
  const Receipt& receipt = std::get<Receipt>(parsed);
  EXPECT_EQ(receipt.port, "COM1");
  EXPECT_EQ(receipt.speed, "115200,n,8,1");
  EXPECT_EQ(receipt.commandLines, (std::vector<std::string>{"=R1/$100", "", "  =T1\n", "\xE8"}));
  EXPECT_TRUE(receipt.LineCountMatches());
  EXPECT_TRUE(std::get<Receipt>(ReceiptFromBody(R"({"port":"1","speed":"9600","commands":[]})")).commandLines.empty());
}

std::string Repeated(const std::string& text, std::size_t times) {
  std::string repeated;
  for (std::size_t i = 0; i < times; ++i) repeated += text;
  return repeated;
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
      {R"({"port":"1","speed":"9600","port":"2","commands":[]})", "\"port\" is given twice"},
      {R"({"port":"1","speed":"9600","commands":["a",["b"]]})", "command 2 must be a string"},
      {std::string(100000, '['), "JSON object"},
      {R"({"port":"1","speed":"9600","commands":[)" + std::string(300000, '[') , "command 1 must be a string"},
      {R"({"port":"1","speed":"9600","commands":[)" + Repeated("\"\",", 100000) + R"(""]})",
       "\"commands\" holds more than 100000 items"},
  };
  for (const auto& [body, reason] : cases) {
    SCOPED_TRACE(body);
    const auto parsed = ReceiptFromBody(body);
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
  for (const char* body : {R"({"lowSpeed":false})", R"({"text":"x","lowSpeed":"yes"})", R"({"text":"x","ls":1})",
                           R"({"text":["x"]})", R"({"text":"x","lowSpeed":[true]})"}) {
    EXPECT_TRUE(std::holds_alternative<BadRequest>(ParseArticleBody(body))) << body;
  }
}

TEST(RequestBodiesTest, ProbeNamesOnePortOrNoneForASearch) {
  const std::pair<const char*, const char*> ports[] = {{R"({"port":"3"})", "3"}, {R"({"port":""})", ""}, {"{}", ""}};
  for (const auto& [body, port] : ports) EXPECT_EQ(std::get<std::string>(ParseProbeBody(body)), port) << body;
  for (const char* body : {"", R"({"port":3})", R"({"port":"3\r\n=K"})", R"({"port":"3","reset":true})"}) {
    EXPECT_TRUE(std::holds_alternative<BadRequest>(ParseProbeBody(body))) << body;
  }
}

}  // namespace
}  // namespace zelko::service
