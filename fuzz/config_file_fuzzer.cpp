// The loader's "config.cmd": every line applied, the file read as a whole,
// and the head lines of the command file built from what it set.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "convert_article_file.h"
#include "loader_settings.h"
#include "fuzz_check.h"
#include "loader_failure.h"
#include "memory_host.h"
#include "text.h"

namespace zelko::fuzzing {
namespace {

using testing::MemoryHost;

bool SameSettings(const LoaderSettings& a, const LoaderSettings& b) {
  return a.port == b.port && a.baud == b.baud && a.parity == b.parity && a.databit == b.databit &&
         a.stopbit == b.stopbit;
}

bool IsKnownKey(const std::string& line) {
  const std::string key = ToLowerAscii(TrimSpaces(line.substr(0, line.find('='))));
  return key == "port" || key == "baud" || key == "parity" || key == "databit" || key == "stopbit";
}

// Applies the lines one by one; empty when a line fails, as only an overflow may.
std::optional<LoaderSettings> ApplyEachLine(const std::vector<std::string>& lines) {
  LoaderSettings settings;
  for (const std::string& line : lines) {
    const LoaderSettings before = settings;
    try {
      ApplyConfigLine(line, settings);
    } catch (const LoaderFailure& failure) {
      Require(failure.number == failure::kOverflow && IsKnownKey(line));
      return std::nullopt;
    }
    if (line.find('=') == std::string::npos || !IsKnownKey(line)) Require(SameSettings(before, settings));
  }
  return settings;
}

std::optional<LoaderSettings> ReadWholeFile(const std::string& bytes, std::size_t piece) {
  MemoryHost host;
  host.readPiece = piece;
  const std::string path = ConfigFilePath(host);
  host.files[path] = bytes;
  LoaderSettings settings;
  try {
    ReadConfigFile(host, path, settings);
  } catch (const LoaderFailure& failure) {
    Require(failure.number == failure::kOverflow);
    return std::nullopt;
  }
  return settings;
}

void CheckHeadLines(const LoaderSettings& settings) {
  Require(std::isfinite(settings.baud));
  Require(settings.parity == TrimSpaces(settings.parity));
  const std::string baud = ShortestDecimalText(settings.baud);
  Require(baud.find_first_of("eE") == std::string::npos);
  Require(std::strtod(baud.c_str(), nullptr) == settings.baud);
  Require(SpeedLine(settings).starts_with(baud + "," + settings.parity + ","));
  Require(PortLine(settings) == std::to_string(settings.port));
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto byLine = ApplyEachLine(ExpectedLines(bytes));
  const auto whole = ReadWholeFile(bytes, ReadPiece(size));
  Require(byLine.has_value() == whole.has_value());
  if (!whole) return 0;
  Require(SameSettings(*byLine, *whole));
  CheckHeadLines(*whole);
  return 0;
}
