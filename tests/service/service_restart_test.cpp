// A restart while the old ZelkoService still drains its queue: a keyed
// request waiting there, whose reply was lost, is repeated to the new
// process. Whenever the restart falls, the receipt reaches the register once.
#include <gtest/gtest.h>

#include <future>

#include "raw_connection.h"
#include "service_requests.h"

namespace zelko::service::testing {
namespace {

using ServiceRestartTest = ServiceFolderTest;

TEST_F(ServiceRestartTest, AKeyedRequestWhoseReplyWasLostRunsOnceAcrossARestart) {
  const Environment environment{{"ZELKO_CONTROL", "emulator"},
                                {"ZELKO_EMULATOR_SCENARIO", Scenario("on prefix =SLOW delay 300\n")}};
  // Restarts from the keyed request's arrival into its own run.
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    folder_.Write("root/emulator/journal.txt", "");
    const std::string command = "=R1/$" + std::to_string(round);
    const std::string body = ReceiptBody({"=SLOW", command});
    const httplib::Headers key{{"Idempotency-Key", "till-2-receipt-" + std::to_string(round)}};
    RunningService old(folder_, environment);
    ASSERT_TRUE(old.Started()) << old.Output();
    auto first = std::async(std::launch::async, [&] { return Post(old, "/v1/receipts", ReceiptBody({"=SLOW"})); });
    WaitForJournal("=SLOW");
    {
      RawConnection lost(old.Port());
      ASSERT_TRUE(lost.Send("POST /v1/receipts HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(old.Port()) +
                            "\r\nContent-Type: application/json\r\nIdempotency-Key: " + key.begin()->second +
                            "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body));
      while (Body(old.Client()->Get("/v1/status"))["waiting"] != 1) std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(round * 80));
    old.Process().Terminate();

    RunningService restarted(folder_, environment, {"--listen", "127.0.0.1:" + std::to_string(old.Port())});
    ASSERT_TRUE(restarted.Started()) << restarted.Output();
    const auto repeat = Post(restarted, "/v1/receipts", body, key);
    ASSERT_TRUE(repeat);
    EXPECT_EQ(repeat->status, 200) << repeat->body;
    EXPECT_EQ(repeat->get_header_value("Idempotent-Replayed"), "true");
    EXPECT_EQ(old.Process().Wait(std::chrono::seconds(10)), 0);
    const auto drained = first.get();
    EXPECT_TRUE(drained && Body(drained)["ok"] == true);
    EXPECT_EQ(Sent(command), 1) << "once both processes are done";
  }
}

}  // namespace
}  // namespace zelko::service::testing
