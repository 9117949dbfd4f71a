#include "convert_article_file.h"

#include <array>
#include <span>
#include <string>

#include "article_record.h"
#include "command_file_head.h"
#include "line_store.h"
#include "loader_failure.h"
#include "register_commands.h"
#include "text_file.h"

namespace zelko {

namespace {

constexpr std::string_view kArticleCommandSuffix = ")";
constexpr std::string_view kOpeningCommands[] = {"=t/*1", "=C4", "=D1/(Carico Avviato)"};
constexpr std::string_view kClosingCommands[] = {"=C1", "=t/*0", "=D1/(Carico Completato)"};

// What one read of the article file leaves: the output lines of the accepted
// articles and the two flags that shape the rest of the output.
struct ArticleScan {
  LineStore lines;
  bool typeThirteenSeen = false;
  bool longLineSeen = false;
};

void ScanArticles(TextReader& reader, bool recordFileMode, ArticleScan& scan) {
  const std::string_view prefix = recordFileMode ? "" : kArticlePrefix;
  const std::string_view suffix = recordFileMode ? "" : kArticleCommandSuffix;
  std::string line;
  while (reader.ReadLine(line)) {
    if (line.size() < kArticleLineMinLength) continue;
    scan.longLineSeen = true;
    const ArticleRecord record = SplitArticleLine(line);
    if (IsTypeThirteen(record)) {
      scan.typeThirteenSeen = true;
    } else if (IsAcceptedArticle(record)) {
      const std::string code = RegisterCode(record.articleCode);
      scan.lines.Append({prefix, record.recordType, code, record.description, record.price, record.twoDigitCode,
                         record.oneDigitCode, suffix});
    }
  }
}

// Reads the article file from start to end; it is closed on return.
std::int32_t ReadArticleFile(const LoaderSettings& settings, const HostServices& host, ArticleScan& scan) {
  auto source = host.OpenRead(settings.articlePath);
  if (!source) return failure::kArticleFileNotOpened;
  TextReader reader(std::move(source));
  ScanArticles(reader, settings.recordFileMode, scan);
  return reader.Failed() ? failure::kArticleFileNotRead : 0;
}

bool WriteLines(TextWriter& out, std::span<const std::string_view> lines) {
  for (const auto line : lines) {
    if (!out.WriteLine(line)) return false;
  }
  return true;
}

bool WriteArticles(TextWriter& out, const ArticleScan& scan, bool recordFileMode) {
  if (!recordFileMode) {
    const std::size_t count = scan.lines.LineCount() + std::size(kOpeningCommands) + std::size(kClosingCommands) +
                              (scan.typeThirteenSeen ? 1 : 0);
    if (!out.WriteLine(std::to_string(count))) return false;
    if (!WriteLines(out, kOpeningCommands)) return false;
  }
  if (scan.typeThirteenSeen) {
    const std::string command =
        std::string(kArticlePrefix) + std::string(kTypeThirteenRecord) + std::string(kArticleCommandSuffix);
    if (!out.WriteLine(recordFileMode ? kTypeThirteenRecord : command)) return false;
  }
  for (const auto& block : scan.lines.Blocks()) {
    if (!out.WriteLine(block)) return false;
  }
  return recordFileMode || WriteLines(out, kClosingCommands);
}

// Closes the output; a close that fails turns success into a write failure
// but never hides an earlier failure.
std::int32_t Finish(TextWriter& out, std::int32_t number) {
  const bool closed = out.Close();
  return (number == 0 && !closed) ? failure::kOutputNotWritten : number;
}

}  // namespace

std::int32_t ConvertArticleFile(const LoaderSettings& settings, const HostServices& host) {
  const std::string outputPath(OutputFilePath(settings));
  // Written beside the output and renamed over it at the end, so that a
  // reader never meets half a file; what a failure leaves is renamed too.
  auto sink = host.Create(outputPath, HostServices::CreateMode::AtomicReplace);
  if (!sink) return failure::kOutputNotCreated;
  TextWriter out(std::move(sink));
  if (!settings.recordFileMode) {
    const std::string port = PortLine(settings);
    const std::string speed = SpeedLine(settings);
    if (!WriteLines(out, std::array<std::string_view, 2>{port, speed})) return Finish(out, failure::kOutputNotWritten);
  }

  ArticleScan scan;
  if (const std::int32_t number = ReadArticleFile(settings, host, scan); number != 0) return Finish(out, number);
  if (!scan.longLineSeen) return Finish(out, failure::kNoArticleLines);

  if (!WriteArticles(out, scan, settings.recordFileMode)) return Finish(out, failure::kOutputNotWritten);
  return Finish(out, 0);
}

}  // namespace zelko
