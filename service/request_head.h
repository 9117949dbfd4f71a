#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelko::service {

// Why a request head (request line and header lines, through the blank line
// that ends it) must be refused with 400 before it reaches cpp-httplib, which
// drops header lines with an empty value or a bad line end and keeps the first
// of repeated headers: a line that does not end in CR LF, a folded or
// malformed header line, a header that decides the request (Host,
// Idempotency-Key, Origin, Authorization, Content-Type, Content-Length) given
// twice, an Idempotency-Key that is empty, blank or no key. Nothing when the
// head may be served.
std::optional<std::string> RequestHeadProblem(std::string_view head);

}  // namespace zelko::service
