// The receipt command file: line splitting at every read boundary, the lines
// written back and read again, and the driver's first pass with its line count.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "receipt.h"
#include "fuzz_check.h"
#include "memory_host.h"
#include "text.h"
#include "text_file.h"

namespace zelko::fuzzing {
namespace {

using testing::MemoryHost;
using testing::MemorySink;
using testing::MemorySource;

constexpr const char* kPath = "c:\\SCONTRINO.INP";

std::vector<std::string> ReadAllLines(std::string_view bytes, std::size_t piece) {
  TextReader reader(std::make_unique<MemorySource>(std::string(bytes), piece));
  std::vector<std::string> lines;
  for (std::string line; reader.ReadLine(line);) lines.push_back(line);
  Require(!reader.Failed());
  return lines;
}

std::string WriteAllLines(const std::vector<std::string>& lines) {
  std::string bytes;
  TextWriter writer(std::make_unique<MemorySink>(bytes));
  for (const std::string& line : lines) Require(writer.WriteLine(line));
  Require(writer.Close());
  return bytes;
}

void CheckFirstPass(const std::string& bytes, const std::vector<std::string>& lines) {
  MemoryHost host;
  host.files[kPath] = bytes;
  const auto check = ReadCommandFile(host, kPath);
  Require(check.has_value() == (lines.size() >= 3));
  if (!check) return;
  Require(check->port == TrimSpaces(lines[0]));
  Require(check->speed == TrimSpaces(lines[1]));
  Require(check->FoundLines() == lines.size() - 3);
}

// A command file written with the count of its command lines passes the count check.
void CheckWrittenCount(const std::vector<std::string>& commands) {
  std::vector<std::string> file{"1", "115200,n,8,1", std::to_string(commands.size())};
  file.insert(file.end(), commands.begin(), commands.end());
  MemoryHost host;
  host.files[kPath] = WriteAllLines(file);
  const auto check = ReadCommandFile(host, kPath);
  Require(check && check->FoundLines() == commands.size() && check->LineCountMatches());
  Require(AsksForHighSpeed(check->speed));
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> expected = ExpectedLines(bytes);
  // Small reads put a line end, and the CR of a CR LF, on every boundary.
  Require(ReadAllLines(bytes, ReadPiece(size)) == expected);
  Require(ReadAllLines(bytes, size + 1) == expected);

  const std::string written = WriteAllLines(expected);
  Require(ReadAllLines(written, ReadPiece(written.size())) == expected);

  CheckFirstPass(bytes, expected);
  CheckWrittenCount(expected);
  return 0;
}
