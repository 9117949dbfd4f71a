#include "protocol_session.h"

#include <gtest/gtest.h>

namespace zelko::emulator {
namespace {

class ProtocolSessionTest : public ::testing::Test {
 protected:
  void Start(std::string_view scenarioText) {
    const ScenarioParse parse = ParseScenario(scenarioText);
    ASSERT_EQ(parse.error, "");
    register_ = std::make_unique<EmulatedRegister>(parse.scenario, journal_);
  }

  std::vector<std::string> Answer(std::string_view line) {
    const SessionReply reply = AnswerRequestLine(*register_, line);
    EXPECT_FALSE(reply.drop) << line << ": " << reply.problem;
    return reply.lines;
  }

  Journal journal_;
  std::unique_ptr<EmulatedRegister> register_;
};

TEST_F(ProtocolSessionTest, ResponsesCarryTheRequestIdAndTheirFields) {
  Start("on command 2 fail 114 2001");
  struct Case {
    std::string request;
    std::string response;
  };
  const Case cases[] = {
      {R"({"id":1,"op":"ClosePort"})", R"({"id":1,"result":0})"},
      {R"({"op":"HighSpeed","value":true,"id":2})", R"({"id":2,"result":0})"},
      {R"({"id":3,"op":"OpenPort","port":"1"})", R"({"id":3,"result":0})"},
      {R"({"id":4,"op":"SendCommand","text":"=K"})", R"({"id":4,"result":0})"},
      {R"({"id":5,"op":"SendQuery","text":"<</?s"})", R"({"id":5,"reply":"0000000000001","result":0})"},
      {R"({"id":6,"op":"SendCommand","text":"=T1"})", R"({"id":6,"result":114})"},
      {R"({"id":7,"op":"ResultCodeExtended"})", R"({"id":7,"value":2001})"},
      {R"({"id":-8,"op":"ClosePort","extra":[1,2]})", R"({"id":-8,"result":0})"},
      {"{\"id\":9,\"op\":\"ClosePort\"}\r", R"({"id":9,"result":0})"},
  };
  for (const Case& c : cases) EXPECT_EQ(Answer(c.request), std::vector<std::string>{c.response}) << c.request;
}

TEST_F(ProtocolSessionTest, BytesAboveAsciiTravelAsOneCodePointEach) {
  Start("");
  Answer(R"({"id":1,"op":"OpenPort","port":"1"})");
  Answer("{\"id\":2,\"op\":\"SendCommand\",\"text\":\"=D1/(Citt\xC3\xA0 \\u00ff)\"}");
  EXPECT_EQ(register_->Display(), "Citt\xE0 \xFF");
  register_->SendData("Caff\xE8\n");
  EXPECT_EQ(Answer(R"({"id":3,"op":"ClosePort"})"),
            (std::vector<std::string>{"{\"event\":\"DataReceived\",\"text\":\"Caff\xC3\xA8\\n\"}", R"({"id":3,"result":0})"}));
}

TEST_F(ProtocolSessionTest, EventsComeBeforeTheResponse) {
  Start("on command 1 status-update 24\non command 1 data ok");
  Answer(R"({"id":1,"op":"OpenPort","port":"1"})");
  EXPECT_EQ(Answer(R"({"id":2,"op":"SendCommand","text":"=K"})"),
            (std::vector<std::string>{R"({"code":24,"event":"StatusUpdate"})", R"({"event":"DataReceived","text":"ok"})",
                                      R"({"id":2,"result":0})"}));
}

TEST_F(ProtocolSessionTest, ScriptedDropAndDelay) {
  Start("on command 1 drop\non command 2 delay 40");
  Answer(R"({"id":1,"op":"OpenPort","port":"1"})");
  const SessionReply dropped = AnswerRequestLine(*register_, R"({"id":2,"op":"SendCommand","text":"=K"})");
  EXPECT_TRUE(dropped.drop);
  EXPECT_TRUE(dropped.lines.empty());
  EXPECT_EQ(dropped.problem, "");
  const SessionReply delayed = AnswerRequestLine(*register_, R"({"id":3,"op":"SendCommand","text":"=K"})");
  EXPECT_EQ(delayed.delay.count(), 40);
  EXPECT_EQ(delayed.lines.size(), 1u);
}

TEST_F(ProtocolSessionTest, MalformedRequestsDropTheConnectionWithoutTouchingTheRegister) {
  Start("");
  const char* lines[] = {
      "",
      "garbage",
      R"({"id":1,"op":"ClosePort")",
      "[1,2]",
      "42",
      R"({"op":"ClosePort"})",
      R"({"id":"1","op":"ClosePort"})",
      R"({"id":1.5,"op":"ClosePort"})",
      R"({"id":1})",
      R"({"id":1,"op":7})",
      R"({"id":1,"op":"Explode"})",
      R"({"id":1,"op":"OpenPort"})",
      R"({"id":1,"op":"SendCommand","text":5})",
      R"({"id":1,"op":"SendQuery"})",
      R"({"id":1,"op":"SendCommand","text":"\u0100"})",
      R"({"id":1,"op":"HighSpeed","value":"true"})",
      "{\"id\":1,\"op\":\"SendCommand\",\"text\":\"\xFF\"}",
  };
  for (const char* line : lines) {
    const SessionReply reply = AnswerRequestLine(*register_, line);
    EXPECT_TRUE(reply.drop) << line;
    EXPECT_NE(reply.problem, "") << line;
    EXPECT_TRUE(reply.lines.empty()) << line;
  }
  EXPECT_EQ(register_->Status().tail, 0);
}

}  // namespace
}  // namespace zelko::emulator
