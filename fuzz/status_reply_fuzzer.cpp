// The register's reply to the status query, read by character position, and
// the lenient number reading it relies on.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "status_reply.h"
#include "text.h"

namespace zelko::fuzzing {
namespace {

std::string WithoutBlanks(const std::string& text) {
  std::string kept;
  for (const char c : text) {
    if (c != ' ' && c != '\t') kept += c;
  }
  return kept;
}

bool HasDigit(const std::string& text) { return text.find_first_of("0123456789") != std::string::npos; }

void CheckLeadingNumber(const std::string& text) {
  const double number = ReadLeadingNumber(text);
  Require(!std::isnan(number));
  if (!HasDigit(text)) Require(number == 0.0);
  // Blanks and tabs are ignored wherever they stand.
  Require(ReadLeadingNumber(WithoutBlanks(text)) == number);
  Require(ReadLeadingNumber(" \t" + text) == number);
}

void CheckStatusFields(const std::string& reply) {
  Require(StatusCode(reply) == StatusCode(reply.substr(0, 4)));
  Require(ReceiptIsOpen(reply) == (reply.size() >= 6 && reply[4] == '0' && reply[5] == '1'));
  const std::string tail = StatusTail(reply);
  Require(tail.size() == (reply.size() < 4 ? reply.size() : 4));
  Require(reply.ends_with(tail));
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  const std::string reply(reinterpret_cast<const char*>(data), size);
  CheckStatusFields(reply);
  CheckLeadingNumber(reply);
  return 0;
}
