// Requests that a careless or hostile client sends the built ZelkoService:
// ambiguous headers, bodies that never come, bodies built to cost memory.
// None reaches the register, and none stops the service answering others.
#include <gtest/gtest.h>

#include <memory>

#include "raw_connection.h"
#include "service_requests.h"

namespace zelko::service::testing {
namespace {

const Environment kEmulator{{"ZELKO_CONTROL", "emulator"}};

std::string Head(int port, const std::string& extraHeaders, std::size_t contentLength) {
  return "POST /v1/receipts HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
         "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(contentLength) + "\r\n" +
         extraHeaders + "\r\n";
}

using ServiceHostileClientsTest = ServiceFolderTest;

TEST_F(ServiceHostileClientsTest, EmptyOrRepeatedHeadersThatDecideTheRequestGet400) {
  RunningService service(folder_, kEmulator);
  ASSERT_TRUE(service.Started()) << service.Output();
  const std::string body = ReceiptBody({"=T1"});
  const std::string host = "Host: 127.0.0.1:" + std::to_string(service.Port()) + "\r\n";
  const std::vector<std::pair<std::string, int>> cases{
      {"Idempotency-Key:\r\n", 400},
      {"Idempotency-Key:   \t\r\n", 400},
      {"Idempotency-Key: a\r\nIdempotency-Key: b\r\n", 400},
      {"Idempotency-Key: a\r\nidempotency-key: a\r\n", 400},
      {host, 400},
      {"Idempotency-Key: the-only-good-one\r\n", 200},
  };
  for (const auto& [headers, status] : cases) {
    SCOPED_TRACE(headers);
    RawConnection connection(service.Port());
    ASSERT_TRUE(connection.Send(Head(service.Port(), headers, body.size()) + body));
    EXPECT_EQ(StatusOf(connection.Reply()), status);
  }
  EXPECT_EQ(Sent("=T1"), 1);
}

// A client that sends its head and then stalls holds one of the service's
// threads until the request's deadline; once all are held, the others are
// told at once that the service is busy, never left waiting.
TEST_F(ServiceHostileClientsTest, WhenStalledBodiesHoldEveryThreadOthersGetAn503AtOnce) {
  RunningService service(folder_, kEmulator);
  ASSERT_TRUE(service.Started()) << service.Output();
  std::vector<std::unique_ptr<RawConnection>> stalled;
  for (int client = 0; client < 64; ++client) {
    stalled.push_back(std::make_unique<RawConnection>(service.Port()));
    ASSERT_TRUE(stalled.back()->Send(Head(service.Port(), "", 100)));
  }
  auto client = service.Client();
  client->set_read_timeout(5, 0);
  const auto busy = client->Get("/v1/status");
  ASSERT_TRUE(busy) << httplib::to_string(busy.error());
  EXPECT_EQ(busy->status, 503);

  stalled.clear();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int status = 0;
  while (status != 200 && std::chrono::steady_clock::now() < deadline) {
    const auto reply = client->Get("/v1/status");
    status = reply ? reply->status : 0;
  }
  EXPECT_EQ(status, 200);
}

// Each body is just within the size limit; the peak resident memory of the
// whole run (VmHWM, as the kernel reports it at the end) stays a small
// multiple of one body above what a service that parses nothing large takes.
TEST_F(ServiceHostileClientsTest, NoBodyCostsMoreThanASmallMultipleOfItsSize) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the sanitizer keeps freed memory aside, so the peak says nothing of the service's own";
#endif
  constexpr std::size_t kSize = 8 * 1024 * 1024 - 64;
  const auto repeated = [](const std::string& head, const std::string& unit, const std::string& tail) {
    std::string body = head;
    while (body.size() + unit.size() + tail.size() <= kSize) body += unit;
    return body + tail;
  };
  const std::string receipt = R"({"port":"1","speed":"9600","commands":[)";
  const std::vector<std::string> bodies{
      std::string(kSize, '['),
      repeated("", "{\"a\":", ""),
      repeated(receipt, "[", ""),
      repeated("[", "{},", "{}]"),
      repeated(receipt, "\"\",", "\"\"]}"),
      repeated(receipt + "3", ",3", "]}"),
  };
  const auto peakKb = [&](const std::vector<std::string>& posted) {
    const TempFolder folder;
    RunningService service(folder, kEmulator);
    EXPECT_TRUE(service.Started()) << service.Output();
    for (const auto& body : posted) {
      const auto reply = Post(service, "/v1/receipts", body);
      EXPECT_TRUE(reply && reply->status == 400) << body.substr(0, 60);
    }
    EXPECT_EQ(Body(Post(service, "/v1/receipts", ReceiptBody({"=T1"})))["ok"], true);
    EXPECT_EQ(service.Stop(), 0);
    return service.Process().MaxResidentKb();
  };
  const long resting = peakKb({"{}"});
  const long hostile = peakKb(bodies);
  EXPECT_LT(hostile - resting, static_cast<long>(4 * kSize / 1024)) << "resting " << resting << " KiB";
}

}  // namespace
}  // namespace zelko::service::testing
