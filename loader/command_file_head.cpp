#include "command_file_head.h"

#include <array>
#include <charconv>

namespace zelko {

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

}  // namespace zelko
