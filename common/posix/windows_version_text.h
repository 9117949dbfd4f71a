#pragma once

#include <optional>
#include <string_view>

#include "host_services.h"

namespace zelko {

// "platform.major.minor.build" as four decimal numbers; anything else is empty.
std::optional<WindowsVersion> ParseWindowsVersion(std::string_view text);

}  // namespace zelko
