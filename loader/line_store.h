#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zelko {

// Output lines held in memory until they can be written. The lines are packed
// end to end into large blocks, joined by CR LF, so a million lines cost
// little more than their own bytes and growing never copies what is stored.
class LineStore {
 public:
  // Adds one line made of the pieces in order.
  void Append(std::initializer_list<std::string_view> pieces);
  std::size_t LineCount() const { return lineCount_; }
  // Whole lines joined by CR LF; the last line of a block has no terminator.
  const std::vector<std::string>& Blocks() const { return blocks_; }

 private:
  std::vector<std::string> blocks_;
  std::size_t lineCount_ = 0;
};

}  // namespace zelko
