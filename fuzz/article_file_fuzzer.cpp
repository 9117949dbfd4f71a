// A whole article file converted by the loader, in both output modes; the
// receipt command file it writes must pass the driver's own line count check.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "receipt.h"
#include "convert_article_file.h"
#include "fuzz_check.h"
#include "loader_failure.h"
#include "memory_host.h"

namespace zelko::fuzzing {
namespace {

using testing::MemoryHost;

constexpr const char* kArticlePath = "c:\\PLU\\ARTICOLI.TXT";
constexpr std::size_t kRecordLength = 46;

// The output file, or nothing when the file held no line long enough to consider.
std::optional<std::string> Convert(const std::string& articles, bool recordFileMode, std::size_t piece) {
  MemoryHost host;
  host.readPiece = piece;
  host.files[kArticlePath] = articles;
  LoaderSettings settings;
  settings.articlePath = kArticlePath;
  settings.recordFileMode = recordFileMode;
  const std::int32_t number = ConvertArticleFile(settings, host);
  Require(number == 0 || number == failure::kNoArticleLines);
  if (number != 0) return std::nullopt;
  return host.files.at(std::string(recordFileMode ? kRecordFilePath : kCommandFilePath));
}

void CheckCommandFileOutput(const std::string& output) {
  MemoryHost host;
  host.files["c:\\SCONTRINO.INP"] = output;
  const auto check = ReadCommandFile(host, "c:\\SCONTRINO.INP");
  Require(check && check->LineCountMatches() && check->FoundLines() >= 6);
  Require(check->port == "1" && check->speed == "115200,n,8,1");
  const std::vector<std::string> lines = ExpectedLines(output);
  for (std::size_t i = 6; i + 3 < lines.size(); ++i) {
    Require(lines[i].size() == kRecordLength + 8 && lines[i].starts_with(">>/?P/(") && lines[i].ends_with(")"));
  }
}

void CheckRecordFileOutput(const std::string& output) {
  for (const std::string& line : ExpectedLines(output)) Require(line.size() == kRecordLength);
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  const std::string articles(reinterpret_cast<const char*>(data), size);
  const auto commands = Convert(articles, false, ReadPiece(size));
  const auto records = Convert(articles, true, size + 1);
  Require(commands.has_value() == records.has_value());
  if (!commands) return 0;
  CheckCommandFileOutput(*commands);
  CheckRecordFileOutput(*records);
  return 0;
}
