#include "request_head.h"

#include <gtest/gtest.h>

namespace zelko::service {
namespace {

// Heads as they arrive, the blank line included, with the reason each is refused.
TEST(RequestHeadTest, HeadsThatCppHttplibWouldReadOtherwiseThanTheyMeanAreRefused) {
  const std::string line = "POST /v1/receipts HTTP/1.1\r\n";
  const std::vector<std::pair<std::string, std::string>> cases{
      {"Host: a\r\nIdempotency-Key: till-1\r\nX-Empty:\r\n", ""},
      {"Idempotency-Key:\r\n", "Idempotency-Key"},
      {"Idempotency-Key: \t \r\n", "Idempotency-Key"},
      {"Idempotency-Key: two words\r\n", "Idempotency-Key"},
      {"Idempotency-Key: a\r\nIDEMPOTENCY-KEY: a\r\n", "IDEMPOTENCY-KEY is given twice"},
      {"Host: a\r\nhost: a\r\n", "host is given twice"},
      {"Content-Length: 2\r\nContent-Length: 20\r\n", "Content-Length is given twice"},
      {"Origin: http://a\r\nOrigin: http://b\r\n", "Origin is given twice"},
      {"Host: a\nIdempotency-Key: b\r\n", "CR LF"},
      {"Host: a\r\n Idempotency-Key: b\r\n", "folded"},
      {"Idempotency-Key : b\r\n", "not a header"},
      {"Idempotency-Key b\r\n", "not a header"},
      {": b\r\n", "not a header"},
  };
  for (const auto& [headers, reason] : cases) {
    SCOPED_TRACE(headers);
    const auto problem = RequestHeadProblem(line + headers + "\r\n");
    if (reason.empty()) {
      EXPECT_FALSE(problem) << *problem;
    } else {
      ASSERT_TRUE(problem);
      EXPECT_NE(problem->find(reason), std::string::npos) << *problem;
    }
  }
  EXPECT_TRUE(RequestHeadProblem("POST /v1/receipts\n HTTP/1.1\r\n\r\n"));
}

}  // namespace
}  // namespace zelko::service
