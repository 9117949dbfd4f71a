// Who may make the built ZelkoService run a receipt: loopback names, origins,
// token, content type and body size. No refused request reaches the register.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "running_service.h"

namespace zelko::service::testing {
namespace {

const std::string kTill = "http://till.example:3000";
const std::string kReceipt = R"({"port":"1","speed":"115200,n,8,1","commands":["=T1"]})";

struct Request {
  std::string name;
  std::string method;
  httplib::Headers headers;
  std::string contentType;
  int status;
};

httplib::Result Send(const RunningService& service, const Request& request) {
  auto client = service.Client();
  if (request.method == "OPTIONS") return client->Options("/v1/receipts", request.headers);
  if (request.method == "GET") return client->Get("/v1/status", request.headers);
  return client->Post("/v1/receipts", request.headers, kReceipt, request.contentType.c_str());
}

class ServiceAccessTest : public ::testing::Test {
 protected:
  void Expect(const RunningService& service, const std::vector<Request>& requests) {
    for (const auto& request : requests) {
      SCOPED_TRACE(request.name);
      const auto result = Send(service, request);
      ASSERT_TRUE(result);
      EXPECT_EQ(result->status, request.status) << result->body;
      const auto origin = request.headers.find("Origin");
      const bool crossOrigin = origin != request.headers.end() && origin->second == kTill;
      // An allowed origin may read every reply, refusals included; no other origin may read any.
      EXPECT_EQ(result->get_header_value("Access-Control-Allow-Origin"), crossOrigin ? kTill : "");
    }
  }
  std::string Journal() const { return folder_.Read("root/emulator/journal.txt"); }

  TempFolder folder_;
};

TEST_F(ServiceAccessTest, WithoutTokenOnlyLoopbackNamesAndAllowedOriginsAreServed) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}}, {"--allow-origin", kTill});
  ASSERT_TRUE(service.Started()) << service.Output();
  const std::string self = "127.0.0.1:" + std::to_string(service.Port());
  Expect(service, {
                      {"other site", "POST", {{"Origin", "http://evil.example"}}, "application/json", 403},
                      {"other site reading", "GET", {{"Origin", "http://evil.example"}}, "", 403},
                      {"renamed to loopback", "POST", {{"Host", "evil.example:" + std::to_string(service.Port())}},
                       "application/json", 403},
                      {"form post", "POST", {{"Origin", kTill}}, "application/x-www-form-urlencoded", 415},
                      {"text post", "POST", {}, "text/plain", 415},
                      {"preflight of other site", "OPTIONS", {{"Origin", "http://evil.example"}}, "", 403},
                      {"preflight of the till", "OPTIONS", {{"Origin", kTill}}, "", 204},
                  });
  EXPECT_EQ(Journal(), "");
  Expect(service, {
                      {"the till", "POST", {{"Origin", kTill}}, "application/json; charset=utf-8", 200},
                      {"the service's own page", "POST", {{"Origin", "http://" + self}}, "application/json", 200},
                      {"no browser", "GET", {}, "", 200},
                  });
}

TEST_F(ServiceAccessTest, WithTokenEveryRequestButPreflightsCarriesIt) {
  const std::string tokenFile = folder_.Write("token", "s3cret-token\n");
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}},
                         {"--allow-origin", kTill, "--token-file", tokenFile});
  ASSERT_TRUE(service.Started()) << service.Output();
  Expect(service, {
                      {"no token", "POST", {}, "application/json", 401},
                      {"wrong token", "POST", {{"Authorization", "Bearer s3cret-tokem"}}, "application/json", 401},
                      {"token as basic", "GET", {{"Authorization", "Basic s3cret-token"}}, "", 401},
                      {"preflight", "OPTIONS", {{"Origin", kTill}}, "", 204},
                  });
  EXPECT_EQ(Journal(), "");
  Expect(service, {{"token", "POST", {{"Authorization", "Bearer s3cret-token"}, {"Origin", kTill}}, "application/json",
                    200}});
}

TEST_F(ServiceAccessTest, AnAddressBeyondLoopbackNeedsAToken) {
  RunningService refused(folder_, {}, {"--listen", "0.0.0.0:0"});
  EXPECT_EQ(refused.Process().Wait(std::chrono::seconds(10)), 2);
  EXPECT_NE(refused.Output().find("needs --token-file"), std::string::npos) << refused.Output();

  const std::string tokenFile = folder_.Write("token", "t\n");
  RunningService accepted(folder_, {}, {"--listen", "0.0.0.0:0", "--token-file", tokenFile});
  EXPECT_TRUE(accepted.Started()) << accepted.Output();
}

TEST_F(ServiceAccessTest, BodiesAboveTheLimitGet413) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}});
  ASSERT_TRUE(service.Started()) << service.Output();
  const std::string text(8 * 1024 * 1024, 'x');
  const auto result = service.Client()->Post("/v1/articles", nlohmann::json{{"text", text}}.dump(), "application/json");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 413);
  EXPECT_EQ(Journal(), "");
}

}  // namespace
}  // namespace zelko::service::testing
