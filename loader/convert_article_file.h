#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host_services.h"
#include "line_store.h"
#include "loader_settings.h"
#include "text_file.h"

namespace zelko {

inline constexpr std::string_view kCommandFilePath = "C:\\Scontrino.inp";
inline constexpr std::string_view kRecordFilePath = "C:\\ZELKOPLU.TXT";

// The file that the conversion writes with these settings.
inline std::string_view OutputFilePath(const LoaderSettings& settings) {
  return settings.recordFileMode ? kRecordFilePath : kCommandFilePath;
}

// The first two lines of the receipt command file: the port, and the speed
// line "baud,parity,databit,stopbit" (with the defaults "1" and "115200,n,8,1").
std::string PortLine(const LoaderSettings& settings);
std::string SpeedLine(const LoaderSettings& settings);

// The shortest decimal text that reads back as the same value: no decimal
// part for a whole value, "." before a fraction, never an exponent.
std::string ShortestDecimalText(double value);

// What an article file converts to: the output lines of its accepted
// articles, in file order (article commands, or in record-file mode bare
// records), and what shapes the rest of the output.
struct ArticleConversion {
  std::int32_t failure = 0;  // 0, 9 when no line had 47 or more characters, 57 when the text could not be read
  bool recordFileMode = false;
  bool typeThirteenSeen = false;
  LineStore articles;

  // The output's lines after the port and speed lines: the count, the
  // opening commands, the type-13 command, the articles and the closing
  // commands; in record-file mode the type-13 record and the records.
  bool WriteTo(TextWriter& out) const;
  // The command lines of the receipt command file, the count line left out.
  std::vector<std::string> CommandLines() const;
};

// Reads the article text to its end and converts it, holding every output
// line until then (the count comes before them).
ArticleConversion ConvertArticles(TextReader& articles, bool recordFileMode);

// Converts the article file named in the settings into the receipt command
// file (or, in record-file mode, the record file). Returns 0, or the failure
// number that ended it; the output keeps whatever was written before a failure.
std::int32_t ConvertArticleFile(const LoaderSettings& settings, const HostServices& host);

}  // namespace zelko
