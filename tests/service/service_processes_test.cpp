// One ZelkoService per address and per store: a second process on either
// never serves beside the first.
#include <gtest/gtest.h>

#include "child_process.h"
#include "service_requests.h"

namespace zelko::service::testing {
namespace {

const Environment kEmulator{{"ZELKO_CONTROL", "emulator"}};

using ServiceProcessesTest = ServiceFolderTest;

TEST_F(ServiceProcessesTest, ASecondServiceOnAnAddressInUseExitsWith2) {
  RunningService first(folder_, kEmulator);
  ASSERT_TRUE(first.Started()) << first.Output();
  const std::string address = "127.0.0.1:" + std::to_string(first.Port());
  const TempFolder other;
  for (const std::string& store : {folder_.File("store"), other.File("store")}) {
    SCOPED_TRACE(store);
    const auto second = zelko::testing::RunChild(ZELKO_SERVICE_PATH, {"--listen", address, "--store", store},
                                                 {{"ZELKO_CONTROL", "emulator"}, {"ZELKO_ROOT", other.File("root")}},
                                                 {}, {}, std::chrono::seconds(5));
    EXPECT_EQ(second.exitStatus, 2) << second.output;
    EXPECT_NE(second.output.find("cannot listen on " + address), std::string::npos) << second.output;
  }
  const auto status = first.Client()->Get("/v1/status");
  ASSERT_TRUE(status);
  EXPECT_EQ(status->status, 200);
}

TEST_F(ServiceProcessesTest, ASecondServiceOnAStoreInUseWaitsForTheFirstToEnd) {
  const httplib::Headers key{{"Idempotency-Key", "till-1-receipt-9"}};
  const std::string body = ReceiptBody({"=R1/$900", "=T1"});
  RunningService first(folder_, kEmulator);
  ASSERT_TRUE(first.Started()) << first.Output();
  RunningService second(folder_, kEmulator, {}, std::chrono::milliseconds(0));
  EXPECT_TRUE(second.WaitForOutput("is held by another ZelkoService")) << second.Output();

  const auto reply = Post(first, "/v1/receipts", body, key);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_FALSE(second.Started()) << second.Output();
  EXPECT_EQ(first.Stop(), 0);

  ASSERT_TRUE(second.WaitUntilListening(std::chrono::seconds(10))) << second.Output();
  const auto repeat = Post(second, "/v1/receipts", body, key);
  ASSERT_TRUE(repeat);
  EXPECT_EQ(repeat->body, reply->body);
  EXPECT_EQ(repeat->get_header_value("Idempotent-Replayed"), "true");
  EXPECT_EQ(Sent("=R1/$900"), 1);
}

}  // namespace
}  // namespace zelko::service::testing
