#include "tcp_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "event_recorder.h"
#include "tcp_connection.h"
#include "tcp_register_control.h"

namespace zelko::emulator {
namespace {

using namespace std::chrono_literals;
using testing::EventRecorder;

// A deadline for a test's own sends, far enough not to matter.
TcpConnection::Clock::time_point Later() { return TcpConnection::Clock::now() + 30s; }

class Handler final : public ConnectionHandler {
 public:
  explicit Handler(EmulatedRegister& emulatedRegister) : register_(emulatedRegister) {}
  void Connected(const std::string&) override { ++connections; }
  SessionReply Answer(std::string_view line) override { return AnswerRequestLine(register_, line); }
  void Disconnected(const std::string& why) override {
    const std::lock_guard lock(mutex);
    endings.push_back(why);
  }
  std::string TurnAway(const std::string&) override {
    ++turnedAway;
    return BusyLine();
  }

  std::vector<std::string> Endings() {
    const std::lock_guard lock(mutex);
    return endings;
  }
  // Waits until `count` connections have ended.
  bool WaitForEndings(std::size_t count, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Endings().size() < count) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }

  std::atomic<int> connections = 0;
  std::atomic<int> turnedAway = 0;
  std::mutex mutex;
  std::vector<std::string> endings;

 private:
  EmulatedRegister& register_;
};

// The emulator's server on a free loopback port, serving on its own thread.
class TcpServerTest : public ::testing::Test {
 protected:
  void Start(std::string_view scenarioText, std::chrono::milliseconds idleLimit = kDefaultIdleLimit) {
    const ScenarioParse parse = ParseScenario(scenarioText);
    ASSERT_EQ(parse.error, "");
    register_ = std::make_unique<EmulatedRegister>(parse.scenario, journal_);
    handler_ = std::make_unique<Handler>(*register_);
    std::string error;
    server_ = TcpServer::Listen("127.0.0.1", "0", error);
    ASSERT_NE(server_, nullptr) << error;
    port_ = std::to_string(server_->Port());
    serving_ = std::thread([this, idleLimit] { server_->Serve(*handler_, stop_, idleLimit); });
  }

  void TearDown() override {
    stop_.Trigger();
    if (serving_.joinable()) serving_.join();
  }

  std::unique_ptr<RegisterControl> Client(std::chrono::milliseconds timeout = 5000ms) {
    auto client = MakeTcpRegisterControl("127.0.0.1", port_, timeout);
    client->SetEventHandler(&recorder_);
    return client;
  }

  std::unique_ptr<TcpConnection> RawClient() {
    return ConnectTcp("127.0.0.1", port_, TcpConnection::Clock::now() + 5s);
  }

  Journal journal_;
  std::unique_ptr<EmulatedRegister> register_;
  std::unique_ptr<Handler> handler_;
  std::unique_ptr<TcpServer> server_;
  StopSignal stop_;
  std::thread serving_;
  std::string port_;
  EventRecorder recorder_;
};

TEST_F(TcpServerTest, DriverClientRunsOperationsAndReceivesEventsFirst) {
  Start("on command 2 status-update 24\non command 2 data Caff\xE8\non command 2 fail 114 2001");
  auto client = Client();
  std::string port = "COM1";
  EXPECT_EQ(client->ClosePort(), 0);
  client->SetHighSpeed(true);
  EXPECT_EQ(client->OpenPort(port), 0);
  EXPECT_EQ(client->SendCommand("=D1/(Citt\xE0)"), 0);
  EXPECT_EQ(register_->Display(), "Citt\xE0");
  EXPECT_EQ(client->SendCommand("=T1"), 114);
  EXPECT_EQ(recorder_.seen, (std::vector<std::string>{"StatusUpdate 24", "DataReceived Caff\xE8"}));
  EXPECT_EQ(client->ResultCodeExtended(), 2001);
  QueryResult query = client->SendQuery("<</?s");
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.reply, "0000000000001");
}

TEST_F(TcpServerTest, SecondClientIsTurnedAwayWithABusyLineWhileTheFirstIsServed) {
  Start("");
  auto first = Client();
  EXPECT_EQ(first->ClosePort(), 0);
  auto second = RawClient();
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(second->SendAll("{\"id\":1,\"op\":\"ClosePort\"}\n", Later()));
  std::string received;
  while (second->Receive(received, TcpConnection::Clock::now() + 5s) == TcpConnection::ReceiveStatus::Data) {
  }
  EXPECT_EQ(received, BusyLine() + "\n");
  EXPECT_EQ(Client()->ClosePort(), 107) << "a driver takes the busy line as no register";
  EXPECT_EQ(first->ClosePort(), 0) << "the first client is served on";
  // Once the first has left, the next one is served, however soon it comes.
  first.reset();
  EXPECT_EQ(Client()->ClosePort(), 0);
  EXPECT_EQ(handler_->connections, 2);
  EXPECT_EQ(handler_->turnedAway, 2);
}

// A driver that waited long on its operator finds its connection dropped as
// idle: its next request goes out on a new connection instead of being lost.
TEST_F(TcpServerTest, DriverDroppedAsIdleConnectsAgainForItsNextRequest) {
  Start("", 200ms);
  auto client = Client();
  EXPECT_EQ(client->ClosePort(), 0);
  ASSERT_TRUE(handler_->WaitForEndings(1));
  EXPECT_EQ(handler_->Endings().front(), "idle: no request");
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(client->ClosePort(), 0);
  EXPECT_EQ(handler_->connections, 2);
}

TEST_F(TcpServerTest, ScriptedDropLosesTheConnectionAndTheNextOperationReconnects) {
  Start("on command 2 drop");
  auto client = Client();
  std::string port = "1";
  client->OpenPort(port);
  EXPECT_EQ(client->SendCommand("=K"), 0);
  EXPECT_EQ(client->SendCommand("=T1"), 107);
  EXPECT_EQ(client->SendCommand("=T2"), 0);
  EXPECT_EQ(register_->Status().tail, 3) << "the dropped command was still executed";
}

TEST_F(TcpServerTest, DelayBeyondTheClientTimeoutGives112AndTheLateAnswerIsIgnored) {
  Start("on command 1 delay 400");
  auto client = Client(150ms);
  std::string port = "1";
  client->OpenPort(port);
  EXPECT_EQ(client->SendCommand("=K"), 112);
  std::this_thread::sleep_for(400ms);
  QueryResult query = client->SendQuery("<</?s");
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.reply, "0000000000001");
}

TEST_F(TcpServerTest, BadInputClosesTheConnectionAndTheServerGoesOn) {
  Start("");
  const std::string inputs[] = {"not json\n", "{\"id\":1}\n", "{\"id\":1,\"op\":\"SendCommand\",\"text\":\"\\u0101\"}\n",
                                std::string(17 * 1024 * 1024, 'x')};
  for (const std::string& input : inputs) {
    auto raw = RawClient();
    ASSERT_NE(raw, nullptr);
    raw->SendAll(input, Later());
    std::string received;
    TcpConnection::ReceiveStatus status;
    do {
      status = raw->Receive(received, TcpConnection::Clock::now() + 5s);
    } while (status == TcpConnection::ReceiveStatus::Data);
    EXPECT_EQ(status, TcpConnection::ReceiveStatus::Closed) << input.substr(0, 40);
    EXPECT_EQ(received, "");
  }
  auto client = Client();
  EXPECT_EQ(client->ClosePort(), 0);
  const std::lock_guard lock(handler_->mutex);
  ASSERT_GE(handler_->endings.size(), 4u);
  EXPECT_EQ(handler_->endings[0], "bad request: not a JSON line");
  EXPECT_EQ(handler_->endings[3], "bad request: line too long");
}

// A client that holds the connection without ever completing an exchange.
struct HoldingClient {
  std::unique_ptr<TcpConnection> connection;
  std::thread feeder;
  std::atomic<bool> done = false;

  ~HoldingClient() {
    done = true;
    if (feeder.joinable()) feeder.join();
  }
};

// The scenario answers each "F" command with an 8 KiB data event, so that a
// client that does not read soon fills every buffer on the way.
const std::string kFloodScenario = "on prefix F data " + std::string(8192, 'x');

struct HoldCase {
  const char* name;
  void (*hold)(HoldingClient&);
  const char* idleEnding;  // how the idle limit ends it; null: the server itself is busy, not idle
};

const HoldCase kHoldCases[] = {
    {"ConnectsAndSendsNothing", [](HoldingClient&) {}, "idle: no request"},
    {"HalfALine", [](HoldingClient& c) { c.connection->SendAll("{\"id\":1,\"op\":\"Clo", Later()); }, "idle: no request"},
    {"AByteNowAndThenNeverAWholeLine",
     [](HoldingClient& c) {
       c.feeder = std::thread([&c] {
         while (!c.done && c.connection->SendAll("x", Later())) std::this_thread::sleep_for(20ms);
       });
     },
     "idle: no request"},
    {"RequestsWithoutReadingTheAnswers",
     [](HoldingClient& c) {
       c.feeder = std::thread([&c] {
         std::string requests = R"({"id":0,"op":"OpenPort","port":"1"})" "\n";
         for (int id = 1; id <= 4000; ++id) {
           requests += "{\"id\":" + std::to_string(id) + R"(,"op":"SendCommand","text":"F"})" "\n";
         }
         c.connection->SendAll(requests, Later());
       });
     },
     "idle: not reading"},
    {"WaitsOnAScriptedDelay",
     [](HoldingClient& c) {
       c.connection->SendAll(R"({"id":0,"op":"OpenPort","port":"1"})" "\n" R"({"id":1,"op":"SendCommand","text":"=K"})" "\n",
                             Later());
     },
     nullptr},
};

const std::string kHoldScenario = kFloodScenario + "\non prefix =K delay 60000";

class HoldingClientTest : public TcpServerTest, public ::testing::WithParamInterface<HoldCase> {
 protected:
  void Hold() {
    holder_.connection = RawClient();
    ASSERT_NE(holder_.connection, nullptr);
    GetParam().hold(holder_);
  }

  HoldingClient holder_;
};

// The cases in which the client is idle.
class IdleClientTest : public HoldingClientTest {};

TEST_P(IdleClientTest, IsDroppedAtTheIdleLimitAndTheNextClientIsServed) {
  Start(kHoldScenario, 300ms);
  const auto start = std::chrono::steady_clock::now();
  Hold();
  ASSERT_TRUE(handler_->WaitForEndings(1));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(handler_->Endings(), std::vector<std::string>{GetParam().idleEnding});
  EXPECT_EQ(Client()->ClosePort(), 0);
}

TEST_P(HoldingClientTest, CannotKeepStopFromEndingServing) {
  Start(kHoldScenario);
  Hold();
  std::this_thread::sleep_for(300ms);
  const auto start = std::chrono::steady_clock::now();
  stop_.Trigger();
  serving_.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_EQ(handler_->Endings(), std::vector<std::string>{"emulator stopping"});
}

std::string CaseName(const ::testing::TestParamInfo<HoldCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Clients, HoldingClientTest, ::testing::ValuesIn(kHoldCases), CaseName);
INSTANTIATE_TEST_SUITE_P(Clients, IdleClientTest,
                         ::testing::ValuesIn(std::begin(kHoldCases), std::end(kHoldCases) - 1), CaseName);

TEST(TcpServerListenTest, UnusableAddressesAreReported) {
  std::string error;
  EXPECT_EQ(TcpServer::Listen("no-such-host.invalid", "0", error), nullptr);
  EXPECT_NE(error, "");
  auto taken = TcpServer::Listen("127.0.0.1", "0", error);
  ASSERT_NE(taken, nullptr);
  const std::string port = std::to_string(taken->Port());
  EXPECT_EQ(TcpServer::Listen("127.0.0.1", port, error), nullptr);
  EXPECT_EQ(error, "cannot listen on 127.0.0.1:" + port);
}

}  // namespace
}  // namespace zelko::emulator
