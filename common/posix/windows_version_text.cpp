#include "windows_version_text.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace zelko {

std::optional<WindowsVersion> ParseWindowsVersion(std::string_view text) {
  std::array<std::uint32_t, 4> numbers{};
  const char* position = text.data();
  const char* const end = text.data() + text.size();
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) {
      if (position == end || *position != '.') return std::nullopt;
      ++position;
    }
    // from_chars takes no sign or blank, so only plain digits pass.
    const auto [next, error] = std::from_chars(position, end, numbers[i]);
    if (error != std::errc() || next == position) return std::nullopt;
    position = next;
  }
  if (position != end) return std::nullopt;
  return WindowsVersion{numbers[0], numbers[1], numbers[2], numbers[3]};
}

}  // namespace zelko
