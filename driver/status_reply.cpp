#include "status_reply.h"

#include <limits>

#include "text.h"

namespace zelko {

std::int32_t StatusCode(const std::string& reply) {
  const double code = RoundHalfEven(ReadLeadingNumber(std::string_view(reply).substr(0, 4)));
  // Four characters hold at most "9e99"; such a code is out of range and a fault all the same.
  if (code > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (code < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(code);
}

bool ReceiptIsOpen(const std::string& reply) { return reply.size() >= 6 && reply.compare(4, 2, "01") == 0; }

std::string StatusTail(const std::string& reply) {
  return reply.size() <= 4 ? reply : reply.substr(reply.size() - 4);
}

}  // namespace zelko
