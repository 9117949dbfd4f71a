#include "access_rules.h"

#include <gtest/gtest.h>

namespace zelko::service {
namespace {

struct Case {
  const char* name;
  RequestFacts request;
  int status;  // 0: served
};

void ExpectVerdicts(const AccessRules& rules, const std::vector<Case>& cases) {
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const auto refusal = rules.Check(test.request);
    EXPECT_EQ(refusal ? refusal->status : 0, test.status);
  }
}

TEST(AccessRulesTest, LoopbackWithoutToken) {
  const AccessRules rules({"http://Till.example:3000/"}, std::nullopt, LoopbackAuthorities("127.0.0.1", 7310));
  ExpectVerdicts(rules, {
                            {"plain client", {"GET", "", "127.0.0.1:7310", "", ""}, 0},
                            {"localhost, any case", {"GET", "", "LocalHost:7310", "", ""}, 0},
                            {"IPv6 loopback", {"GET", "", "[::1]:7310", "", ""}, 0},
                            {"other port", {"GET", "", "127.0.0.1:80", "", ""}, 403},
                            {"rebound name", {"GET", "", "evil.example:7310", "", ""}, 403},
                            {"allowed origin", {"POST", "http://till.example:3000", "localhost:7310", "",
                                                "application/json"}, 0},
                            {"own page", {"POST", "http://localhost:7310", "127.0.0.1:7310", "",
                                          "Application/JSON ; charset=utf-8"}, 0},
                            {"other origin", {"POST", "http://evil.example", "127.0.0.1:7310", "",
                                              "application/json"}, 403},
                            {"origin null", {"GET", "null", "127.0.0.1:7310", "", ""}, 403},
                            {"no content type", {"POST", "", "127.0.0.1:7310", "", ""}, 415},
                            {"form", {"POST", "", "127.0.0.1:7310", "", "multipart/form-data"}, 415},
                            {"json-ish", {"POST", "", "127.0.0.1:7310", "", "application/jsonx"}, 415},
                        });
  EXPECT_TRUE(rules.AllowsCrossOrigin("http://till.example:3000"));
  EXPECT_FALSE(rules.AllowsCrossOrigin("http://localhost:7310"));
}

TEST(AccessRulesTest, WithToken) {
  const AccessRules rules({}, std::string("tok"), {});
  ExpectVerdicts(rules, {
                            {"token", {"GET", "", "till-pc:7310", "Bearer tok", ""}, 0},
                            {"scheme in any case", {"GET", "", "till-pc:7310", "bearer tok", ""}, 0},
                            {"no token", {"GET", "", "till-pc:7310", "", ""}, 401},
                            {"longer token", {"GET", "", "till-pc:7310", "Bearer tokk", ""}, 401},
                            {"shorter token", {"GET", "", "till-pc:7310", "Bearer to", ""}, 401},
                            {"empty token", {"GET", "", "till-pc:7310", "Bearer ", ""}, 401},
                            {"own page by its name", {"POST", "http://till-pc:7310", "till-pc:7310", "Bearer tok",
                                                      "application/json"}, 0},
                            {"other origin", {"POST", "http://evil.example", "till-pc:7310", "Bearer tok",
                                              "application/json"}, 403},
                        });
}

}  // namespace
}  // namespace zelko::service
