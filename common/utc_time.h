#pragma once

#include <chrono>
#include <string>

namespace zelko {

// "2026-12-08T14:00:00Z", or with milliseconds "2026-12-08T14:00:00.123Z".
std::string UtcTimeText(std::chrono::system_clock::time_point when, bool milliseconds);

}  // namespace zelko
