#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory_resource>
#include <string_view>
#include <vector>

namespace zelko {

// Output lines held in memory until they can be written. The lines are packed
// end to end into large blocks, joined by CR LF, so a million lines cost
// little more than their own bytes and growing never copies what is stored.
// The blocks come from the default memory resource, which a program may point
// at memory that is cheaper to fill.
class LineStore {
 public:
  LineStore() = default;
  ~LineStore();
  LineStore(const LineStore&) = delete;
  LineStore& operator=(const LineStore&) = delete;
  LineStore(LineStore&& other) noexcept;
  LineStore& operator=(LineStore&& other) noexcept;

  // Adds one line made of the pieces in order.
  void Append(std::initializer_list<std::string_view> pieces);
  std::size_t LineCount() const { return lineCount_; }
  // Whole lines joined by CR LF; the last line of a block has no terminator.
  std::vector<std::string_view> Blocks() const;

 private:
  struct Block {
    char* data;
    std::size_t size;
    std::size_t capacity;
  };
  // A new last block with room for at least `length` bytes.
  void StartBlock(std::size_t length);
  // Copies bytes to the end of the last block, which has room for them.
  void Put(std::string_view bytes);

  std::pmr::memory_resource* memory_ = std::pmr::get_default_resource();
  std::vector<Block> blocks_;
  std::size_t lineCount_ = 0;
};

}  // namespace zelko
