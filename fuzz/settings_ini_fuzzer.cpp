// The POSIX settings file: a value written is read back byte for byte, every
// other key of every section keeps its value, and writing twice changes nothing.
// Input: three length bytes (section, key, value), those fields, then the file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "settings_ini.h"
#include "text.h"

namespace zelko::fuzzing {
namespace {

constexpr std::size_t kMostNames = 16;

std::string_view Take(std::string_view& input, std::size_t count) {
  const std::string_view field = input.substr(0, count);
  input.remove_prefix(field.size());
  return field;
}

std::string_view Blankless(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool Has(std::string_view text, std::string_view bytes) { return text.find_first_of(bytes) != std::string_view::npos; }

// The section names and keys that the file's lines spell, to look up before and after a write.
struct Names {
  std::vector<std::string> sections;
  std::vector<std::string> keys;
};

Names NamesIn(std::string_view content) {
  Names names;
  while (!content.empty() && names.sections.size() + names.keys.size() < kMostNames) {
    const std::size_t end = std::min(content.find_first_of("\r\n"), content.size());
    const std::string_view line = Blankless(content.substr(0, end));
    content.remove_prefix(end);
    if (content.starts_with("\r\n")) content.remove_prefix(1);
    if (!content.empty()) content.remove_prefix(1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      names.sections.emplace_back(line.substr(1, line.size() - 2));
    } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      names.keys.emplace_back(Blankless(line.substr(0, equals)));
    }
  }
  return names;
}

// A plain key, value and section must always be storable; line breaks never are.
void CheckStorable(std::string_view section, std::string_view key, std::string_view value, bool stored) {
  const bool plainKey = !key.empty() && key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                             "0123456789_") == std::string_view::npos;
  if (plainKey && !Has(value, "\r\n") && !Has(section, "\r\n]")) Require(stored);
  if (Has(key, "\r\n=") || Has(value, "\r\n") || Has(section, "\r\n")) Require(!stored);
}

void CheckOthersKept(std::string_view before, std::string_view after, std::string_view section, std::string_view key) {
  Names names = NamesIn(before);
  names.sections.emplace_back(section);
  for (const std::string& otherSection : names.sections) {
    for (const std::string& otherKey : names.keys) {
      if (EqualsIgnoreCaseAscii(otherSection, section) && EqualsIgnoreCaseAscii(otherKey, key)) continue;
      Require(FindIniValue(after, otherSection, otherKey) == FindIniValue(before, otherSection, otherKey));
    }
  }
}

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko::fuzzing;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view lengths = Take(input, 3);
  if (lengths.size() < 3) return 0;
  const std::string_view section = Take(input, static_cast<unsigned char>(lengths[0]));
  const std::string_view key = Take(input, static_cast<unsigned char>(lengths[1]));
  const std::string_view value = Take(input, static_cast<unsigned char>(lengths[2]));
  const std::string_view content = input;

  zelko::FindIniValue(content, section, key);
  const std::optional<std::string> written = zelko::SetIniValue(content, section, key, value);
  CheckStorable(section, key, value, written.has_value());
  if (!written) return 0;
  Require(zelko::FindIniValue(*written, section, key) == std::string(value));
  CheckOthersKept(content, *written, section, key);
  Require(zelko::SetIniValue(*written, section, key, value) == written);
  return 0;
}
