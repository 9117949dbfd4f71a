#include "tcp_register_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include "scripted_tcp_register.h"

namespace zelko {
namespace {

using ::testing::ElementsAre;
using std::chrono::milliseconds;
using testing::ScriptedReply;
using testing::ScriptedTcpRegister;

class RecordingEvents : public RegisterEvents {
 public:
  void StatusUpdate(std::int32_t code) override { seen.push_back("status " + std::to_string(code)); }
  void DataReceived(const std::string& text) override { seen.push_back("data " + text); }
  std::vector<std::string> seen;
};

std::unique_ptr<RegisterControl> ControlFor(const ScriptedTcpRegister& fake, milliseconds timeout = milliseconds(5000)) {
  return MakeTcpRegisterControl("127.0.0.1", fake.Port(), timeout);
}

std::string AllBytes() {
  std::string bytes;
  for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

TEST(TcpRegisterControl, SendsEveryOperationAndReadsItsAnswer) {
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    ScriptedReply reply;
    if (operation == "ClosePort") reply.result = 1;
    if (operation == "OpenPort COM7") reply.result = 2;
    if (operation == "SendCommand =K") reply.result = 114;
    if (operation == "SendQuery <</?s") reply = ScriptedReply{3, "0000 tail\xE9", {}, {}, false, {}, {}};
    if (operation == "ResultCodeExtended") reply.result = -4711;
    return reply;
  });
  const auto control = ControlFor(fake);
  std::string port = "COM7";
  QueryResult query;
  EXPECT_EQ(control->ClosePort(), 1);
  control->SetHighSpeed(true);
  EXPECT_EQ(control->OpenPort(port), 2);
  EXPECT_EQ(control->SendCommand("=K"), 114);
  query = control->SendQuery("<</?s");
  EXPECT_EQ(query.code, 3);
  EXPECT_EQ(query.reply, "0000 tail\xE9");
  EXPECT_EQ(control->ResultCodeExtended(), -4711);
  EXPECT_THAT(fake.Operations(), ElementsAre("ClosePort", "HighSpeed true", "OpenPort COM7", "SendCommand =K",
                                             "SendQuery <</?s", "ResultCodeExtended"));
  EXPECT_THAT(fake.Ids(), ElementsAre(1, 2, 3, 4, 5, 6));
  EXPECT_EQ(fake.Connections(), 1);
}

TEST(TcpRegisterControl, EveryByteSurvivesBothWays) {
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    return ScriptedReply{0, operation.substr(std::string("SendQuery ").size()), {}, {}, false, {}, {}};
  });
  const auto control = ControlFor(fake);
  QueryResult query = control->SendQuery(AllBytes());
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.reply, AllBytes());
}

TEST(TcpRegisterControl, HandsEventsOverInOrderBeforeReturning) {
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    ScriptedReply reply;
    if (operation == "SendCommand A") {
      reply.linesBefore = {testing::StatusEventLine(24), testing::DataEventLine("riga\x01\xFF"),
                           R"({"event":"SomethingNew","x":1})", testing::StatusEventLine(26)};
    }
    return reply;
  });
  const auto control = ControlFor(fake);
  RecordingEvents events;
  control->SetEventHandler(&events);
  EXPECT_EQ(control->SendCommand("A"), 0);
  EXPECT_THAT(events.seen, ElementsAre("status 24", "data riga\x01\xFF", "status 26"));
  control->SetEventHandler(nullptr);
  EXPECT_EQ(control->SendCommand("A"), 0);
  EXPECT_EQ(events.seen.size(), 3u);
}

// A line longer than 64 MiB is not the protocol: the client gives the
// connection up (107) instead of buffering without end. The line is a
// well-formed event, so nothing but the cap refuses it; the next operation
// connects again.
TEST(TcpRegisterControl, ALineBeyond64MiBIsALostConnection) {
  const std::string huge =
      R"({"event":"DataReceived","text":")" + std::string(64 * 1024 * 1024 + 64 * 1024, 'x') + R"("})";
  ScriptedTcpRegister fake([&huge](const std::string& operation, std::size_t) {
    ScriptedReply reply;
    if (operation == "SendCommand huge") reply.linesBefore = {huge};
    return reply;
  });
  const auto control = ControlFor(fake, milliseconds(60000));
  RecordingEvents events;
  control->SetEventHandler(&events);
  EXPECT_EQ(control->SendCommand("huge"), 107);
  EXPECT_TRUE(events.seen.empty());
  EXPECT_EQ(control->SendCommand("next"), 0);
  EXPECT_EQ(fake.Connections(), 2);
}

TEST(TcpRegisterControl, NoRegisterListeningGives107AndEmptyAnswers) {
  std::string port;
  {
    ScriptedTcpRegister gone;
    port = gone.Port();
  }
  const auto control = MakeTcpRegisterControl("127.0.0.1", port, milliseconds(2000));
  QueryResult query;
  std::string portName = "COM1";
  EXPECT_EQ(control->ClosePort(), 107);
  EXPECT_EQ(control->OpenPort(portName), 107);
  EXPECT_EQ(control->SendCommand("=K"), 107);
  query = control->SendQuery("<</?s");
  EXPECT_EQ(query.code, 107);
  EXPECT_EQ(query.reply, "");
  EXPECT_EQ(control->ResultCodeExtended(), 0);
}

struct LostCase {
  const char* name;
  ScriptedReply fault;
};

class LostConnection : public ::testing::TestWithParam<LostCase> {};

// The faulty answer gives 107, and the next operation connects again.
TEST_P(LostConnection, Gives107ThenReconnects) {
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    if (operation == "SendQuery fault") return GetParam().fault;
    return ScriptedReply{0, "fine", {}, {}, false, {}, {}};
  });
  const auto control = ControlFor(fake);
  QueryResult query;
  EXPECT_EQ(control->SendCommand("before"), 0);
  query = control->SendQuery("fault");
  EXPECT_EQ(query.code, 107);
  EXPECT_EQ(query.reply, "");
  query = control->SendQuery("after");
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.reply, "fine");
  EXPECT_EQ(fake.Connections(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LostConnection,
    ::testing::Values(LostCase{"Dropped", ScriptedReply{0, "", {}, {}, true, {}, {}}},
                      LostCase{"NotJson", ScriptedReply{0, "", {}, {}, false, "{\"id\":2,\"result\":", {}}},
                      LostCase{"NotAnObject", ScriptedReply{0, "", {}, {}, false, "[2,0]", {}}},
                      LostCase{"NoResult", ScriptedReply{0, "", {}, {}, false, R"({"id":2,"reply":"x"})", {}}},
                      LostCase{"NoReply", ScriptedReply{0, "", {}, {}, false, R"({"id":2,"result":0})", {}}},
                      LostCase{"ReplyBeyondOneByte", ScriptedReply{0, "", {}, {}, false, R"({"id":2,"result":0,"reply":"\u0100"})", {}}},
                      LostCase{"NoId", ScriptedReply{0, "", {}, {}, false, R"({"result":0,"reply":""})", {}}},
                      LostCase{"BadEvent", ScriptedReply{0, "", {R"({"event":"StatusUpdate","code":"24"})"}, {}, false, {}, {}}},
                      LostCase{"GarbageBeforeResponse", ScriptedReply{0, "", {"not json"}, {}, false, {}, {}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The register holds back its response to "slow" until the client has given
// up on it and asked "next": the late response then arrives in front of the
// response to "next". Nothing here depends on how fast the machine is.
TEST(TcpRegisterControl, SlowResponseGives112AndIsDroppedWhenItComesLate) {
  std::atomic<const ScriptedTcpRegister*> register_ = nullptr;
  ScriptedTcpRegister fake([&register_](const std::string& operation, std::size_t) {
    ScriptedReply reply;
    if (operation == "SendCommand slow") reply.rawResponse = testing::StatusEventLine(24);  // and then nothing
    if (operation == "SendCommand next") {
      reply.linesBefore = {R"({"id":)" + std::to_string(register_.load()->Ids().front()) + R"(,"result":5})"};
    }
    return reply;
  });
  register_ = &fake;
  const auto control = ControlFor(fake, milliseconds(400));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(control->SendCommand("slow"), 112);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, milliseconds(400)) << "the whole timeout is waited";
  EXPECT_LT(waited, milliseconds(10000)) << "and no more than it";
  // The late response (result 5) belongs to the old id and is dropped.
  EXPECT_EQ(control->SendCommand("next"), 0);
  EXPECT_EQ(fake.Connections(), 1);
}

using Clock = std::chrono::steady_clock;

// Counts the events handed over.
class CountingEvents : public RegisterEvents {
 public:
  void StatusUpdate(std::int32_t) override { ++count; }
  void DataReceived(const std::string&) override { ++count; }
  long count = 0;
};

struct FloodCase {
  const char* name;
  std::vector<std::string> endless;  // what the register sends, over and over, instead of the response
  bool handled;         // each line is an event that reaches the handlers
};

class Flood : public ::testing::TestWithParam<FloodCase> {};

// However much the register sends, the operation ends at its deadline.
TEST_P(Flood, EndsTheOperationAtItsDeadline) {
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    ScriptedReply reply;
    if (operation == "SendCommand =K") reply.endless = GetParam().endless;
    return reply;
  });
  const auto control = ControlFor(fake, milliseconds(300));
  CountingEvents events;
  control->SetEventHandler(&events);
  const auto start = Clock::now();
  EXPECT_EQ(control->SendCommand("=K"), 112);
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, milliseconds(300));
  EXPECT_LT(waited, milliseconds(3000));
  EXPECT_EQ(events.count > 0, GetParam().handled);
  EXPECT_NE(events.count, 1) << "the stream does not end after one pass";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Flood,
    ::testing::Values(FloodCase{"StatusEvents", {testing::StatusEventLine(24)}, true},
                      FloodCase{"DataEvents", {testing::DataEventLine(std::string(100, 'd'))}, true},
                      FloodCase{"EventsAndStaleResponses", {testing::StatusEventLine(26), R"({"id":999,"result":0})"}, true},
                      FloodCase{"UnknownEvents", {R"({"event":"SomethingNew"})"}, false},
                      FloodCase{"StaleResponses", {R"({"id":0,"result":0})"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct AfterTimeoutCase {
  const char* name;
  std::int32_t (*operation)(RegisterControl&);
  std::int32_t expected;  // the register's answer, or 112 for ClosePort's short wait
};

class AfterATimeout : public ::testing::TestWithParam<AfterTimeoutCase> {};

// A register slow to answer "=K" lets it time out, sends that late answer
// 0.4 s into the next operation and answers that one 0.1 s later: every
// operation but ClosePort waits for it.
TEST_P(AfterATimeout, EveryOperationButClosePortGetsTheWholeTimeout) {
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    if (operation == "SendCommand =K") return ScriptedReply{0, "", {}, milliseconds(1400), false, {}, {}};
    return ScriptedReply{7, "0000000000001", {}, milliseconds(100), false, {}, {}};
  });
  const auto control = ControlFor(fake, milliseconds(1000));
  EXPECT_EQ(control->SendCommand("=K"), 112);
  const auto start = Clock::now();
  EXPECT_EQ(GetParam().operation(*control), GetParam().expected);
  if (GetParam().expected == 112) {
    EXPECT_LT(Clock::now() - start, milliseconds(800)) << "the short wait after a timeout";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, AfterATimeout,
    ::testing::Values(
        AfterTimeoutCase{"SendQuery",
                         [](RegisterControl& c) {
                           const QueryResult query = c.SendQuery("<</?s");
                           return query.reply == "0000000000001" ? query.code : -1;
                         },
                         7},
        AfterTimeoutCase{"SendCommand", [](RegisterControl& c) { return c.SendCommand("=T1"); }, 7},
        AfterTimeoutCase{"OpenPort", [](RegisterControl& c) { return c.OpenPort("1"); }, 7},
        AfterTimeoutCase{"ResultCodeExtended", [](RegisterControl& c) { return c.ResultCodeExtended(); }, 7},
        AfterTimeoutCase{"ClosePort", [](RegisterControl& c) { return c.ClosePort(); }, 112}),
    [](const auto& info) { return std::string(info.param.name); });

// A register busy with an earlier request for a minute reads nothing more: a
// request too big for the buffers on the way (about 4 MB on loopback) cannot
// go out, and its operation ends at its deadline instead of waiting for the
// register. The bound leaves room for building a big request in a slow build.
TEST(TcpRegisterControl, RequestThatCannotGoOutEndsAtTheDeadline) {
  ScriptedTcpRegister fake([](const std::string& operation, std::size_t) {
    return ScriptedReply{0, "", {}, operation == "SendCommand busy" ? milliseconds(60000) : milliseconds(0), false, {}, {}};
  });
  const auto control = ControlFor(fake, milliseconds(300));
  EXPECT_EQ(control->SendCommand("busy"), 112);
  const auto start = Clock::now();
  EXPECT_EQ(control->SendCommand(std::string(8 * 1024 * 1024, 'x')), 112);
  EXPECT_LT(Clock::now() - start, milliseconds(30000));
}

// A timeout beyond the clock's range counts as one hour, and an answer that
// comes is taken.
TEST(TcpRegisterControl, HugeTimeoutsDoNotOverflow) {
  ScriptedTcpRegister fake([](const std::string&, std::size_t) { return ScriptedReply{5, "", {}, milliseconds(200), false, {}, {}}; });
  for (const milliseconds timeout : {milliseconds::max(), milliseconds(9223372036855), milliseconds(3'600'001)}) {
    SCOPED_TRACE(timeout.count());
    EXPECT_EQ(ControlFor(fake, timeout)->SendCommand("=K"), 5);
  }
}

TEST(TcpRegisterControl, StaleResponsesAreSkipped) {
  ScriptedTcpRegister fake([](const std::string&, std::size_t index) {
    return ScriptedReply{0, "", {R"({"id":999,"result":7})", R"({"id":)" + std::to_string(index) + R"(,"result":8})"},
                     {}, false, {}, {}};
  });
  const auto control = ControlFor(fake);
  EXPECT_EQ(control->SendCommand("x"), 0);
  EXPECT_EQ(control->SendCommand("y"), 0);
}

}  // namespace
}  // namespace zelko
