#pragma once

#include <cstdint>
#include <string>

namespace zelko {

// The loader's run settings: filled by start-up, read by the conversion.
struct LoaderSettings {
  std::int16_t port = 1;
  double baud = 115200;
  std::string parity = "n";
  std::int16_t databit = 8;
  std::int16_t stopbit = 1;
  std::string articlePath;
  bool recordFileMode = false;
  bool highSpeedDefault = true;
};

}  // namespace zelko
