#pragma once

#include <string_view>

namespace zelko::service {

// The page at "/": status, live progress, a test receipt, the last outcomes.
// Self-contained: no external scripts, styles or fonts.
std::string_view StatusPage();

}  // namespace zelko::service
