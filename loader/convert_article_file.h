#pragma once

#include <cstdint>
#include <string_view>

#include "host_services.h"
#include "loader_settings.h"

namespace zelko {

inline constexpr std::string_view kCommandFilePath = "C:\\Scontrino.inp";
inline constexpr std::string_view kRecordFilePath = "C:\\ZELKOPLU.TXT";

// The file that the conversion writes with these settings.
inline std::string_view OutputFilePath(const LoaderSettings& settings) {
  return settings.recordFileMode ? kRecordFilePath : kCommandFilePath;
}

// Converts the article file named in the settings into the receipt command
// file (or, in record-file mode, the record file). Returns 0, or the failure
// number that ended it; the output keeps whatever was written before a failure.
std::int32_t ConvertArticleFile(const LoaderSettings& settings, const HostServices& host);

}  // namespace zelko
