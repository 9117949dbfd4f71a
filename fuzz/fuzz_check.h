#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelko::fuzzing {

// A property that must hold; libFuzzer reports the input when it does not.
inline void Require(bool holds) {
  if (!holds) __builtin_trap();
}

// The lines of a text by the rule the text files follow, written out plainly
// to judge the reader by: a line ends at CR LF or a lone CR, a lone LF is an
// ordinary byte, and bytes after the last line end make one more line.
std::vector<std::string> ExpectedLines(std::string_view bytes);

// A read size that varies with the input, so that read boundaries fall on
// every byte over many inputs, without reading long inputs a byte at a time.
inline std::size_t ReadPiece(std::size_t inputSize) { return 1 + inputSize % 13 + inputSize / 64; }

}  // namespace zelko::fuzzing
