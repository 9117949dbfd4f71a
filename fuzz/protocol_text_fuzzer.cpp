// Texts on the emulator protocol: any bytes survive the trip through a JSON
// string and back, and a byte text decodes only from its one encoding.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "emulator_protocol.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zelko::fuzzing::Require;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string text = zelko::BytesToProtocolText(input);
  Require(zelko::ProtocolTextToBytes(text) == std::string(input));
  // The JSON library rejects malformed UTF-8 when it writes, so this also proves the encoding sound.
  const std::string line = nlohmann::json{{"text", text}}.dump();
  const auto parsed = nlohmann::json::parse(line);
  Require(zelko::ProtocolTextToBytes(parsed.at("text").get<std::string>()) == std::string(input));

  if (const auto bytes = zelko::ProtocolTextToBytes(input)) Require(zelko::BytesToProtocolText(*bytes) == input);
  return 0;
}
