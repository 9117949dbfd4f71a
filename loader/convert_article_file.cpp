#include "convert_article_file.h"

#include <array>
#include <charconv>
#include <functional>
#include <span>

#include "article_record.h"
#include "loader_failure.h"
#include "register_commands.h"

namespace zelko {

namespace {

constexpr std::string_view kArticleCommandSuffix = ")";
constexpr std::string_view kOpeningCommands[] = {"=t/*1", "=C4", "=D1/(Carico Avviato)"};
constexpr std::string_view kClosingCommands[] = {"=C1", "=t/*0", "=D1/(Carico Completato)"};

// Hands each output line after the count, in order, to `line`; the accepted
// articles come as blocks of lines joined by CR LF. False as soon as `line`
// is.
bool EachLineAfterTheCount(const ArticleConversion& conversion, const std::function<bool(std::string_view)>& line) {
  const auto each = [&line](std::span<const std::string_view> lines) {
    for (const auto text : lines) {
      if (!line(text)) return false;
    }
    return true;
  };
  const std::string typeThirteenCommand =
      std::string(kArticlePrefix) + std::string(kTypeThirteenRecord) + std::string(kArticleCommandSuffix);
  if (!conversion.recordFileMode && !each(kOpeningCommands)) return false;
  if (conversion.typeThirteenSeen &&
      !line(conversion.recordFileMode ? kTypeThirteenRecord : std::string_view(typeThirteenCommand))) {
    return false;
  }
  return each(conversion.articles.Blocks()) && (conversion.recordFileMode || each(kClosingCommands));
}

std::size_t CommandCount(const ArticleConversion& conversion) {
  return conversion.articles.LineCount() + std::size(kOpeningCommands) + std::size(kClosingCommands) +
         (conversion.typeThirteenSeen ? 1 : 0);
}

// Closes the output; a close that fails turns success into a write failure
// but never hides an earlier failure.
std::int32_t Finish(TextWriter& out, std::int32_t number) {
  const bool closed = out.Close();
  return (number == 0 && !closed) ? failure::kOutputNotWritten : number;
}

}  // namespace

std::string PortLine(const LoaderSettings& settings) { return std::to_string(settings.port); }

std::string SpeedLine(const LoaderSettings& settings) {
  return ShortestDecimalText(settings.baud) + "," + settings.parity + "," + std::to_string(settings.databit) + "," +
         std::to_string(settings.stopbit);
}

std::string ShortestDecimalText(double value) {
  // Room for the widest fixed form of a double: a sign and 309 whole digits,
  // or "-0." and 324 fraction digits.
  std::array<char, 400> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return std::string(text.data(), result.ptr);
}

bool ArticleConversion::WriteTo(TextWriter& out) const {
  if (!recordFileMode && !out.WriteLine(std::to_string(CommandCount(*this)))) return false;
  return EachLineAfterTheCount(*this, [&out](std::string_view line) { return out.WriteLine(line); });
}

std::vector<std::string> ArticleConversion::CommandLines() const {
  std::vector<std::string> lines;
  lines.reserve(CommandCount(*this));
  EachLineAfterTheCount(*this, [&lines](std::string_view block) {
    // A line holds no CR (it ends a line), so the CR LF that joins a block's lines splits them.
    for (std::size_t end; (end = block.find("\r\n")) != std::string_view::npos; block.remove_prefix(end + 2)) {
      lines.emplace_back(block.substr(0, end));
    }
    lines.emplace_back(block);
    return true;
  });
  return lines;
}

ArticleConversion ConvertArticles(TextReader& articles, bool recordFileMode) {
  ArticleConversion conversion;
  conversion.recordFileMode = recordFileMode;
  const std::string_view prefix = recordFileMode ? "" : kArticlePrefix;
  const std::string_view suffix = recordFileMode ? "" : kArticleCommandSuffix;
  bool longLineSeen = false;
  std::string line;
  while (articles.ReadLine(line)) {
    if (line.size() < kArticleLineMinLength) continue;
    longLineSeen = true;
    const ArticleRecord record = SplitArticleLine(line);
    if (IsTypeThirteen(record)) {
      conversion.typeThirteenSeen = true;
    } else if (IsAcceptedArticle(record)) {
      const std::string code = RegisterCode(record.articleCode);
      conversion.articles.Append({prefix, record.recordType, code, record.description, record.price,
                                  record.twoDigitCode, record.oneDigitCode, suffix});
    }
  }
  if (articles.Failed()) {
    conversion.failure = failure::kArticleFileNotRead;
  } else if (!longLineSeen) {
    conversion.failure = failure::kNoArticleLines;
  }
  return conversion;
}

std::int32_t ConvertArticleFile(const LoaderSettings& settings, const HostServices& host) {
  // Written beside the output and renamed over it at the end, so that a
  // reader never meets half a file; what a failure leaves is renamed too.
  auto sink = host.Create(std::string(OutputFilePath(settings)), HostServices::CreateMode::AtomicReplace);
  if (!sink) return failure::kOutputNotCreated;
  TextWriter out(std::move(sink));
  if (!settings.recordFileMode) {
    const std::string port = PortLine(settings);
    const std::string speed = SpeedLine(settings);
    if (!out.WriteLine(port) || !out.WriteLine(speed)) return Finish(out, failure::kOutputNotWritten);
  }
  auto source = host.OpenRead(settings.articlePath);
  if (!source) return Finish(out, failure::kArticleFileNotOpened);
  const ArticleConversion conversion = [&] {
    TextReader articles(std::move(source));  // closed once read, before the output is written
    return ConvertArticles(articles, settings.recordFileMode);
  }();
  if (conversion.failure != 0) return Finish(out, conversion.failure);
  return Finish(out, conversion.WriteTo(out) ? 0 : failure::kOutputNotWritten);
}

}  // namespace zelko
