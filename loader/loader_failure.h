#pragma once

#include <cstdint>
#include <string>

namespace zelko {

// A failure of the loader's run: its number becomes the exit code, the
// description travels with it and is shown nowhere.
struct LoaderFailure {
  std::int32_t number;
  std::string description;
};

// Failure numbers. They stay distinct in the low 8 bits, which is all a POSIX
// exit status keeps (-1 is 255, -2 is 254).
namespace failure {
inline constexpr std::int32_t kConfigMissing = -1;
inline constexpr std::int32_t kArticleFileMissing = -2;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kNoArticleLines = 9;
inline constexpr std::int32_t kArticleFileNotOpened = 53;
inline constexpr std::int32_t kArticleFileNotRead = 57;
inline constexpr std::int32_t kArticleFileIsOutput = 58;
inline constexpr std::int32_t kOutputNotWritten = 61;
inline constexpr std::int32_t kConfigNotOpened = 70;
inline constexpr std::int32_t kConfigNotRead = 71;
inline constexpr std::int32_t kOutputNotCreated = 75;
}  // namespace failure

}  // namespace zelko
