// Clients that send their request slowly, one header line at a time, hold no
// thread of the built ZelkoService: the status and receipts still answer at
// once, and each slow connection is closed at the deadline for a whole head;
// one that trickles its body, at the deadline for a whole request.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "raw_connection.h"
#include "service_requests.h"

namespace zelko::service::testing {
namespace {

using ServiceSlowClientsTest = ServiceFolderTest;

TEST_F(ServiceSlowClientsTest, TwoHundredClientsTricklingTheirHeadersStarveNobody) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}});
  ASSERT_TRUE(service.Started()) << service.Output();
  const auto connected = std::chrono::steady_clock::now();
  std::vector<std::unique_ptr<RawConnection>> slow;
  for (int client = 0; client < 200; ++client) {
    slow.push_back(std::make_unique<RawConnection>(service.Port()));
    ASSERT_TRUE(slow.back()->Send("POST /v1/receipts HTTP/1.1\r\n"));
  }
  RawConnection slowBody(service.Port());
  ASSERT_TRUE(slowBody.Send("POST /v1/receipts HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(service.Port()) +
                            "\r\nContent-Type: application/json\r\nContent-Length: 1000\r\n\r\n"));
  std::atomic<bool> trickling{true};
  std::thread trickle([&] {
    for (int line = 0; trickling; ++line) {
      for (auto& connection : slow) connection->Send("X-Line-" + std::to_string(line) + ": x\r\n");
      slowBody.Send(" ");
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
  });
  std::this_thread::sleep_for(std::chrono::seconds(1));

  auto client = service.Client();
  client->set_read_timeout(5, 0);
  const auto status = client->Get("/v1/status");
  EXPECT_TRUE(status && status->status == 200);
  const auto receipt = client->Post("/v1/receipts", ReceiptBody({"=T1"}), "application/json");
  EXPECT_TRUE(receipt && Body(receipt)["ok"] == true) << httplib::to_string(receipt.error());

  // The head's deadline is 10 s from the connection; a little more for a loaded machine.
  const auto deadline = connected + std::chrono::seconds(13);
  int ended = 0;
  for (const auto& connection : slow) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    ended += connection->EndedByService(std::max(left, std::chrono::milliseconds(1))) ? 1 : 0;
  }
  EXPECT_EQ(ended, 200);
  // The whole request's deadline is 30 s.
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(connected + std::chrono::seconds(33) -
                                                                          std::chrono::steady_clock::now());
  EXPECT_TRUE(slowBody.EndedByService(left));
  trickling = false;
  trickle.join();
}

}  // namespace
}  // namespace zelko::service::testing
