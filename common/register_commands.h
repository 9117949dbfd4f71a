#pragma once

#include <string_view>

namespace zelko {

// The register's command texts that more than one program must spell alike:
// the driver and loader send them, the emulator answers them.
inline constexpr std::string_view kStatusQuery = "<</?s";
inline constexpr std::string_view kArticlePrefix = ">>/?P/(";  // the loader's article record follows
inline constexpr std::string_view kStopCommand = ">>/?S";      // the driver sends nothing after it
inline constexpr std::string_view kDisplayPrefix = "=D1/(";    // the display's text, then ")"
inline constexpr std::string_view kCancelReceipt = "=k";
inline constexpr std::string_view kClearRegister = "=K";

}  // namespace zelko
